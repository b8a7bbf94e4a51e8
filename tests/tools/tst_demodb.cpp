// The demo database builder, run as the admin tool's demo command: the sample rows,
// refusing to overwrite, synthetic rows, and bad arguments.

#include "data/databasefile.h"
#include "data/engine.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "dbbuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString errors;
};

Run RunBuilder(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(THALVANE_ADMIN), QStringList{QStringLiteral("demo")} + arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray Digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

std::unique_ptr<data::Connection> Connect(const QString& dir) {
    auto conn = std::make_unique<data::Connection>();
    conn->Open(QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=") + dir +
                   QStringLiteral("\\shipman.bcd"),
               QString(), data::kPassword, -1);
    return conn;
}

// The rows of a statement; fields are the id and the given fields.
QList<QVariantMap> AllRows(data::Connection& conn, const QString& statement,
                           const QStringList& fields = {data::kFieldName}) {
    QList<QVariantMap> rows;
    auto rs = conn.OpenRecordset(statement, data::adOpenStatic, data::adLockReadOnly);
    for (; !rs->Eof(); rs->MoveNext()) {
        QVariantMap row;
        row.insert(data::kFieldId, rs->Value(data::kFieldId));
        for (const QString& field : fields)
            row.insert(field, rs->Value(field));
        rows << row;
    }
    return rows;
}

} // namespace

class TestDemoDb : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    void init() {
        folder_ =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/演示 库-XXXXXX"));
        QVERIFY2(folder_->isValid(), qPrintable(folder_->errorString()));
        path_ = folder_->path() + QStringLiteral("/shipman.bcd");
    }

    void samplesGiveAVariedDirectory() {
        QCOMPARE(RunBuilder({path_}).exitCode, 0);
        auto conn = Connect(folder_->path());
        const QList<QVariantMap> rows = AllRows(
            *conn, QStringLiteral("select * from Thalvane order by id"), data::TextFields());
        QVERIFY(rows.size() >= 60);

        QStringList names;
        bool nullField = false;
        bool surroundingSpaces = false;
        bool multiLine = false;
        for (const QVariantMap& row : rows) {
            names << row.value(data::kFieldName).toString();
            for (const QString& field : data::TextFields()) {
                const QVariant value = row.value(field);
                nullField = nullField || value.isNull();
                const QString text = value.toString();
                surroundingSpaces = surroundingSpaces || text.startsWith(' ') || text.endsWith(' ');
            }
            multiLine =
                multiLine || (row.value(data::kFieldProfile).toString().contains('\n') &&
                              row.value(data::kFieldSubsidiaries).toString().contains('\n'));
        }
        QVERIFY(nullField);
        QVERIFY(surroundingSpaces);
        QVERIFY(multiLine);
        const auto any = [&](auto&& test) {
            return std::any_of(names.cbegin(), names.cend(), test);
        };
        QVERIFY(any([](const QString& n) { return n.contains('\''); }));
        QVERIFY(any([](const QString& n) { return n.contains('%'); }));
        QVERIFY(any([](const QString& n) {
            return std::any_of(n.cbegin(), n.cend(),
                               [](QChar c) { return c.script() == QChar::Script_Greek; });
        }));
        QVERIFY(any([](const QString& n) { return n.contains(QRegularExpression("[äöüÄÖÜß]")); }));
        QVERIFY(any([](const QString& n) { return n.contains(QChar(0x4E2D)); })); // 中

        // The names hold "远洋" several times, and the search finds exactly those rows.
        const qsizetype withYuanyang = names.filter(QStringLiteral("远洋")).size();
        QVERIFY(withYuanyang >= 3);
        QCOMPARE(AllRows(*conn, data::SearchStatement(QStringLiteral("远洋"), QString())).size(),
                 withYuanyang);
    }

    void refusesToOverwriteUnlessForced() {
        QCOMPARE(RunBuilder({QStringLiteral("--synthetic"), QStringLiteral("5"), path_}).exitCode,
                 0);
        const QByteArray before = Digest(path_);
        QVERIFY(!before.isEmpty());

        const Run refused = RunBuilder({path_});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.errors.contains(QStringLiteral("--force")));
        QCOMPARE(Digest(path_), before);
        QCOMPARE(AllRows(*Connect(folder_->path()), data::SearchStatement({}, {})).size(), 5);

        QCOMPARE(RunBuilder({QStringLiteral("--force"), path_}).exitCode, 0);
        QVERIFY(AllRows(*Connect(folder_->path()), data::SearchStatement({}, {})).size() >= 60);
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{"shipman.bcd"});
    }

    void syntheticRows() {
        QCOMPARE(
            RunBuilder({QStringLiteral("--synthetic"), QStringLiteral("2500"), path_}).exitCode, 0);
        auto conn = Connect(folder_->path());
        const QList<QVariantMap> rows = AllRows(
            *conn, QStringLiteral("select * from Thalvane order by id desc"), data::TextFields());
        QCOMPARE(rows.size(), 2500);
        QCOMPARE(rows.first().value(data::kFieldId).toInt(), 2500);
        QCOMPARE(rows.last().value(data::kFieldId).toInt(), 1);
        for (const QString& field : data::TextFields())
            QVERIFY(!rows.first().value(field).toString().isEmpty());
    }

    void badArgumentsCreateNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("path and --database") << QStringList{"--database", "<PATH>", "<PATH2>"} << 2;
        QTest::newRow("negative count") << QStringList{"--synthetic", "-5", "<PATH>"} << 2;
        QTest::newRow("count not a number") << QStringList{"--synthetic", "many", "<PATH>"} << 2;
        QTest::newRow("two paths") << QStringList{"<PATH>", "<PATH2>"} << 2;
        QTest::newRow("folder missing") << QStringList{"<DIR>/无此目录/shipman.bcd"} << 1;
    }
    void badArgumentsCreateNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        arguments.replaceInStrings(QStringLiteral("<PATH2>"), path_ + QStringLiteral("2"));
        arguments.replaceInStrings(QStringLiteral("<PATH>"), path_);
        arguments.replaceInStrings(QStringLiteral("<DIR>"), folder_->path());
        QCOMPARE(RunBuilder(arguments).exitCode, exitCode);
        QVERIFY(QDir(folder_->path()).isEmpty());
    }

    void sampleFileRejectsUnknownFields() {
        QVERIFY_THROWS_EXCEPTION(dbbuilder::BuildError,
                                 dbbuilder::ParseShipowners(R"([{"船东": "甲", "船名": "乙"}])"));
        QVERIFY_THROWS_EXCEPTION(dbbuilder::BuildError,
                                 dbbuilder::ParseShipowners(R"([{"船东": 5}])"));
        const QList<QVariantMap> rows =
            dbbuilder::ParseShipowners(R"([{"船东": " 甲 ", "国家": null}])");
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value("船东").toString(), QStringLiteral(" 甲 "));
        QVERIFY(rows[0].contains("国家"));
        QVERIFY(rows[0].value("国家").isNull());
    }

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
};

QTEST_GUILESS_MAIN(TestDemoDb)
#include "tst_demodb.moc"
