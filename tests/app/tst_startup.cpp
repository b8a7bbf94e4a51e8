// Start-up: the shared connection on <system directory>\shipman.bcd, and the one
// message for every way the database can fail to open.

#include "app/modGeneral.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "platform/msgbox.h"
#include "platform/sysdir.h"
#include "support/damage.h"
#include "support/msgboxes.h"
#include "support/stderrcapture.h"
#include "support/testdb.h"
#include "support/windows.h"
#include "ui/form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <optional>

class TestStartup : public QObject {
    Q_OBJECT

    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;

private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    void init() {
        boxes.clear();
        recorder.emplace(boxes);
    }
    void cleanup() {
        forms::DestroyAll();
        modGeneral::ResetConnection();
        recorder.reset();
        platform::SetSystemDirectoryOverride(std::nullopt);
    }

    void opensTheDatabaseInTheSystemDirectory() {
        testsupport::TestDatabase db;
        const qint32 id = db.insert({{"船东", "远洋测试"}});
        platform::SetSystemDirectoryOverride(db.dir().toStdString());

        QVERIFY(modGeneral::Main());
        QVERIFY(boxes.empty());
        QCOMPARE(modGeneral::gSysDir, db.dir());
        QVERIFY(modGeneral::gConn().IsOpen());
        auto rs = modGeneral::gConn().OpenRecordset(
            QStringLiteral("select * from Thalvane where id=%1").arg(id), -1, -1);
        QVERIFY(!rs->Eof());
        QCOMPARE(rs->Value("船东").toString(), QStringLiteral("远洋测试"));
        rs->Close();
    }

    void connectionIsCreatedOnFirstUse() {
        data::Connection& first = modGeneral::gConn();
        QVERIFY(!first.IsOpen());
        QCOMPARE(&modGeneral::gConn(), &first);
    }

    void everyFailureShowsTheSameBoxAndNoWindow_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason"); // as stderr gives it
        QTest::newRow("no file") << "remove"
                                 << "Could not find file";
        QTest::newRow("empty file") << "empty"
                                    << "Cannot find the input table 'Thalvane'";
        QTest::newRow("not a database") << "garbage"
                                        << "Not a valid password, or not a database";
        QTest::newRow("a folder of that name") << "folder"
                                               << "is not a database file";
        QTest::newRow("a bit flipped in page 1") << "flip"
                                                 << "Not a valid password, or not a database";
        QTest::newRow("another password") << "rekey"
                                          << "Not a valid password, or not a database";
        QTest::newRow("no table Thalvane") << "drop"
                                           << "Cannot find the input table 'Thalvane'";
    }
    void everyFailureShowsTheSameBoxAndNoWindow() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        testsupport::TestDatabase db;
        const QString file = db.path();
        if (damage == "rekey") {
            db.exec(QStringLiteral("PRAGMA rekey = 'not-the-password'"));
        } else if (damage == "drop") {
            db.exec(QStringLiteral("DROP TABLE Thalvane"));
        } else {
            // Replace the file after the fixture's own handle let go of it (Windows
            // removes no file that is open).
            db.close();
            QVERIFY(damage == "flip" || QFile::remove(file));
            QFile::remove(file + "-wal");
            QFile::remove(file + "-shm");
            if (damage == "flip") {
                // Whole but for one bit of its first page.
                QFile f(file);
                QVERIFY(f.open(QIODevice::ReadWrite));
                QVERIFY(testsupport::FlipBit(f, 500));
            } else if (damage == "empty" || damage == "garbage") {
                QFile f(file);
                QVERIFY(f.open(QIODevice::WriteOnly));
                if (damage == "garbage")
                    f.write(QByteArray(4096, 'x'));
            } else if (damage == "folder") {
                QVERIFY(QDir().mkdir(file));
            }
        }
        const QStringList before =
            QDir(db.dir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        platform::SetSystemDirectoryOverride(db.dir().toStdString());

        testsupport::StderrCapture stderrText;
        QVERIFY(!modGeneral::Main());
        // One line for whoever sets the program up: the file tried and why.
        const QString line = stderrText.text();
        const QString expected =
            QStringLiteral("thalvane: cannot open %1: ").arg(QDir::toNativeSeparators(db.path()));
        QVERIFY2(line.startsWith(expected) && line.count('\n') == 1 && line.endsWith('\n'),
                 qPrintable(line));
        QVERIFY2(line.contains(reason), qPrintable(line));
        QCOMPARE(boxes.size(), std::size_t(1));
        QVERIFY(testsupport::IsDatabaseMissingBox(boxes[0]));
        QVERIFY(forms::Loaded().empty());
        QVERIFY(!testsupport::AnyWindowVisible());
        // Opening never creates a file, and never one whose name holds a backslash.
        if (damage != "rekey" && damage != "drop")
            QCOMPARE(QDir(db.dir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                     before);
        QDir parent(db.dir());
        parent.cdUp();
        for (const QString& name : parent.entryList(QDir::NoDotAndDotDot | QDir::AllEntries))
            QVERIFY2(!name.contains('\\'), qPrintable(name));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
