// A database the user may read but not write: a read-only file, a folder that takes no
// new files, or both. It opens, searches and records read as usual; saves and deletes
// fail with a message that says the database is read-only; nothing is written to it or
// created beside it. Run as a user without privileges (tests/support/unprivileged.sh).

#include "data/databasefile.h"
#include "data/sharedconnection.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "platform/fileaccess.h"
#include "record/frminfo.h"
#include "support/msgboxes.h"
#include "support/permissions.h"
#include "support/testdb.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <optional>
#include <unistd.h>

namespace {
using testsupport::kReadOnlyFile;
using testsupport::kReadOnlyFolder;
using testsupport::kWritableFile;
using testsupport::kWritableFolder;

// The folder's entries with their sizes and the database file's bytes, to show that
// nothing was written or made.
QString Snapshot(const QString& dir, const QString& file) {
    QStringList entries;
    for (const QFileInfo& info : QDir(dir).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        entries << info.fileName() + QLatin1Char(':') + QString::number(info.size());
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        entries << QString::fromLatin1(
            QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
    return entries.join(QLatin1Char(' '));
}

} // namespace

class TestReadOnlyDatabase : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    qint32 id = 0;
    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;

    // Makes the file, its folder or both read-only, as `where` says.
    void MakeReadOnly(const QString& where) {
        if (where != QLatin1String("folder"))
            QVERIFY(QFile::setPermissions(db->path(), kReadOnlyFile));
        if (where != QLatin1String("file"))
            QVERIFY(QFile::setPermissions(db->dir(), kReadOnlyFolder));
        QVERIFY(!platform::CanWrite(db->path().toStdString()) ||
                !platform::CanWrite(db->dir().toStdString()));
    }

    void Where_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("file 0444") << "file";
        QTest::newRow("folder 0555") << "folder";
        QTest::newRow("both") << "both";
    }

private slots:
    void initTestCase() {
        if (::geteuid() == 0)
            QSKIP("runs as root, whom file permissions do not bind: run it through "
                  "tests/support/unprivileged.sh");
        data::RegisterEmbeddedEngine();
        ui::InstallFontFallbacks();
    }

    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        db->insertSamples();
        id = db->insert({{data::kFieldName, QStringLiteral("只读远洋")},
                         {data::kFieldCountry, QStringLiteral("中国")}});
        db->close(); // as a clean end of the program leaves it: no log beside it
        boxes.clear();
        recorder.emplace(boxes, platform::vbYes);
    }

    void cleanup() {
        forms::DestroyAll();
        modGeneral::ResetConnection();
        recorder.reset();
        QFile::setPermissions(db->dir(), kWritableFolder);
        QFile::setPermissions(db->path(), kWritableFile);
        db.reset();
    }

    void searchesAndReadsButRefusesWrites_data() { Where_data(); }
    void searchesAndReadsButRefusesWrites() {
        QFETCH(QString, where);
        MakeReadOnly(where);
        const QString before = Snapshot(db->dir(), db->path());

        data::Connection conn;
        conn.Open(db->connectionString(), data::kUserId, data::kPassword);
        auto found = conn.OpenRecordset(data::SearchStatement(QStringLiteral("只读"), QString()),
                                        data::adOpenStatic, data::adLockReadOnly);
        QVERIFY(!found->Eof());
        QCOMPARE(found->Value(data::kFieldId).toInt(), id);
        found->Close();

        const auto kindOf = [](auto&& call) -> std::optional<data::FailureKind> {
            try {
                call();
            } catch (const data::EngineError& e) {
                return e.kind();
            }
            return std::nullopt;
        };
        QCOMPARE(kindOf([&] { conn.Execute(data::DeleteStatement(id)); }),
                 data::FailureKind::ReadOnly);
        QCOMPARE(kindOf([&] {
                     auto save = conn.OpenRecordset(data::ReadOneRowStatement(id),
                                                    data::adOpenKeyset, data::adLockPessimistic);
                     save->SetValue(data::kFieldName, QStringLiteral("改"));
                     save->Update();
                 }),
                 data::FailureKind::ReadOnly);
        conn.Close();
        QCOMPARE(Snapshot(db->dir(), db->path()), before);
    }

    void recordWindowSaysTheDatabaseIsReadOnly_data() { Where_data(); }
    void recordWindowSaysTheDatabaseIsReadOnly() {
        QFETCH(QString, where);
        MakeReadOnly(where);
        const QString before = Snapshot(db->dir(), db->path());
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);

        frminfo& w = forms::Get<frminfo>();
        w.shipId = id;
        w.Show();
        auto* name = static_cast<QLineEdit*>(w.Txt[0]);
        QCOMPARE(name->text(), QStringLiteral("只读远洋"));
        QTest::keyClick(name, Qt::Key_End);
        QTest::keyClicks(name, QStringLiteral(" Lines"));

        for (QPushButton* button : {w.CmdQuery, w.SmartNetXpButton1})
            QTest::mouseClick(button, Qt::LeftButton);
        QStringList texts = testsupport::Texts(boxes);
        QCOMPARE(texts.size(), 3); // the save's failure, the question, the delete's failure
        QCOMPARE(texts[0], QStringLiteral(
                               "保存失败：数据库文件只读。(attempt to write a readonly database)"));
        QCOMPARE(texts[1], QStringLiteral("是否要删除当前信息？"));
        QCOMPARE(texts[2], QStringLiteral(
                               "删除失败：数据库文件只读。(attempt to write a readonly database)"));
        for (const std::size_t failure : {0, 2}) {
            QCOMPARE(boxes[failure].style, int(platform::vbCritical));
            QCOMPARE(QString::fromStdString(boxes[failure].title), QStringLiteral("提示:"));
        }
        QCOMPARE(name->text(), QStringLiteral("只读远洋 Lines"));
        QCOMPARE(w.shipId, id);
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("修改"));

        forms::DestroyAll();
        modGeneral::ResetConnection();
        QCOMPARE(Snapshot(db->dir(), db->path()), before);
    }

    // An earlier run that ended without closing left changes in the log; a reader that may
    // not write cannot apply them and must not show the file without them.
    void logWithChangesInAReadOnlyFolderIsRefused() {
        testsupport::TestDatabase running; // its own handle stays open, as a killed program's
        running.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
        running.insert({{data::kFieldName, QStringLiteral("仅在日志中")}});
        QTemporaryDir copy;
        for (const QString& suffix : {QString(), QStringLiteral("-wal")})
            QVERIFY(QFile::copy(running.path() + suffix,
                                copy.filePath(QStringLiteral("shipman.bcd")) + suffix));
        QVERIFY(QFileInfo(copy.filePath(QStringLiteral("shipman.bcd-wal"))).size() > 32);
        QVERIFY(QFile::setPermissions(copy.path(), kReadOnlyFolder));

        data::Connection conn;
        try {
            conn.Open(data::kConnectionHead + copy.path() + data::kDatabaseFile, data::kUserId,
                      data::kPassword);
            QFAIL("a database with changes it cannot apply opened");
        } catch (const data::EngineError& e) {
            QCOMPARE(e.kind(), data::FailureKind::ReadOnly);
            QVERIFY2(e.message().contains(QLatin1String("-wal")), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(copy.filePath(QStringLiteral("shipman.bcd-shm"))));
        QFile::setPermissions(copy.path(), kWritableFolder);
    }
};

QTEST_MAIN(TestReadOnlyDatabase)
#include "tst_readonlydatabase.moc"
