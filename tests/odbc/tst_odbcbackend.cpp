// The ODBC engine itself: asking the driver manager for a driver, the connection string
// the driver gets, refused opens, snapshots, and the driver's own LIKE.

#include "data/connectionstring.h"
#include "data/databasefile.h"
#include "data/enginechoice.h"
#include "data/odbc/odbcbackend.h"
#include "data/odbc/odbcsql.h"
#include "data/statements.h"
#include "odbctestdb.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using odbctest::OdbcTestDatabase;

namespace {

using Listed = QList<QPair<qint32, QString>>;

Listed ReadRest(data::Recordset& rs) {
    Listed rows;
    for (; !rs.Eof(); rs.MoveNext())
        rows.append({rs.Value(data::kFieldId).toInt(), rs.Value(data::kFieldName).toString()});
    return rows;
}

std::unique_ptr<data::Recordset> OpenSearch(data::Connection& conn, const QString& name = {}) {
    return conn.OpenRecordset(data::SearchStatement(name, QString()), data::adOpenStatic,
                              data::adLockReadOnly);
}

} // namespace

class TestOdbcBackend : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterOdbcEngine(); }
    void driverManagerIsAskedForTheDriver_data() {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<bool>("found");
        QTest::newRow("as registered") << odbctest::kDriver << true;
        QTest::newRow("other case") << QStringLiteral("Microsoft Access Driver (*.MDB)") << true;
        QTest::newRow("the newer Access driver")
            << QStringLiteral("Microsoft Access Driver (*.mdb, *.accdb)") << false;
        QTest::newRow("not registered here") << QStringLiteral("SQLite3") << false;
        QTest::newRow("no name") << QString() << false;
    }
    void driverManagerIsAskedForTheDriver() {
        QFETCH(QString, driver);
        QFETCH(bool, found);
        QCOMPARE(data::odbc::HasDriver(driver), found);
    }

    void opensTheFileThroughOdbc() {
        OdbcTestDatabase db;
        const qint32 id = db.insert({{data::kFieldName, QStringLiteral("远洋测试")}});
        data::SetDriverQueryForTesting({});
        auto conn = db.connect();
        QCOMPARE(data::EngineOfLastOpen(), std::optional(data::Engine::Odbc));
        auto rs = conn->OpenRecordset(data::ReadOneRowStatement(id), -1, -1);
        QCOMPARE(rs->Value(data::kFieldName).toString(), QStringLiteral("远洋测试"));
    }

    // Each case prepares dir/shipman.bcd (or not); Open must fail and change nothing.
    void refusedOpenLeavesTheFolderAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << QStringLiteral("missing");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("empty file") << QStringLiteral("empty");
        QTest::newRow("not a database") << QStringLiteral("text");
        QTest::newRow("no table Thalvane") << QStringLiteral("notable");
        QTest::newRow("no dbq") << QStringLiteral("nodbq");
        QTest::newRow("a driver nobody has") << QStringLiteral("driver");
    }
    void refusedOpenLeavesTheFolderAsItWas() {
        QFETCH(QString, kind);
        OdbcTestDatabase db;
        QString connectionString = db.connectionString();
        if (kind == QLatin1String("notable")) {
            db.exec(QStringLiteral("ALTER TABLE Thalvane RENAME TO Others"));
        } else if (kind == QLatin1String("nodbq")) {
            connectionString = QStringLiteral("Driver={%1}").arg(odbctest::kDriver);
        } else if (kind == QLatin1String("driver")) {
            connectionString.replace(odbctest::kDriver, QStringLiteral("SQL Server"));
        } else {
            QVERIFY(QFile::remove(db.path()));
            if (kind == QLatin1String("folder")) {
                QVERIFY(QDir().mkdir(db.path()));
            } else if (kind != QLatin1String("missing")) {
                QFile file(db.path());
                QVERIFY(file.open(QIODevice::WriteOnly));
                if (kind == QLatin1String("text"))
                    file.write(QByteArray("这不是数据库\n").repeated(500));
            }
        }
        const QStringList before = odbctest::Listing(db.dir());

        data::Connection conn;
        try {
            conn.Open(connectionString, QString(), data::kPassword, -1);
            QFAIL("Open succeeded");
        } catch (const data::EngineError& e) {
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(!conn.IsOpen());
        QCOMPARE(odbctest::Listing(db.dir()), before);
        QDir parent(db.dir());
        parent.cdUp();
        for (const QString& name : parent.entryList(QDir::NoDotAndDotDot | QDir::AllEntries))
            QVERIFY2(!name.contains('\\'), qPrintable(name));
    }

    void connectionStringForTheDriver_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("sqlite");
        QTest::addColumn<QString>("expected");
        const QString head = QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=");
        const QString path = QStringLiteral("/var/lib/船东 数据");
        QTest::newRow("Access driver")
            << head + path + "\\shipman.bcd"
            << "vorpelinka" << false << head + path + "/shipman.bcd;UID=;PWD=vorpelinka";
        QTest::newRow("SQLite driver: Database and NoCreat added")
            << head + path + "\\shipman.bcd"
            << "vorpelinka" << true
            << head + path + "/shipman.bcd;Database=" + path +
                   "/shipman.bcd;NoCreat=1;UID=;PWD=vorpelinka";
        QTest::newRow("SQLite driver: the string's own Database and NoCreat kept")
            << head + "/a.bcd;Database=/b.db;NoCreat=0"
            << "" << true << head + "/a.bcd;Database=/b.db;NoCreat=0;UID=;PWD=";
        QTest::newRow("user and password in the string are replaced")
            << head + "/a.bcd;UID=admin;Pwd={old}"
            << "new" << false << head + "/a.bcd;UID=;PWD=new";
        QTest::newRow("password that needs braces")
            << head + "/a.bcd"
            << "a;b}c" << false << head + "/a.bcd;UID=;PWD={a;b}}c}";
    }
    void connectionStringForTheDriver() {
        QFETCH(QString, given);
        QFETCH(QString, password);
        QFETCH(bool, sqlite);
        QFETCH(QString, expected);
        const QString made = data::odbc::DriverConnectionString(given, QString(), password, sqlite);
        QCOMPARE(made, expected);
        // Read back, the password is the one given.
        const QList<data::ConnectionStringPair> pairs = data::ConnectionStringPairs(made);
        QCOMPARE(pairs.last().key, QStringLiteral("PWD"));
        QCOMPARE(pairs.last().value, password);
    }

    void sqliteDriverIsKnownByItsLibrary_data() {
        QTest::addColumn<QStringList>("attributes");
        QTest::addColumn<bool>("sqlite");
        QTest::newRow("unixODBC, full path")
            << QStringList{"Description=x", "Driver=/usr/lib/x86_64-linux-gnu/odbc/"
                                            "libsqlite3odbc.so"}
            << true;
        QTest::newRow("Windows path") << QStringList{"Driver=C:\\Windows\\sqlite3odbc.dll"} << true;
        QTest::newRow("Access") << QStringList{"Driver=C:\\Windows\\system32\\odbcjt32.dll"}
                                << false;
        QTest::newRow("only the description says SQLite")
            << QStringList{"Description=like sqlite", "Driver=/usr/lib/libmdbodbc.so"} << false;
        QTest::newRow("no driver attribute") << QStringList{"UsageCount=1"} << false;
    }
    void sqliteDriverIsKnownByItsLibrary() {
        QFETCH(QStringList, attributes);
        QFETCH(bool, sqlite);
        QCOMPARE(data::odbc::IsSqliteDriver(attributes), sqlite);
    }

    void tableOfAStatement_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("table");
        QTest::newRow("read one row") << data::ReadOneRowStatement(-1) << "Thalvane";
        QTest::newRow("search") << data::SearchStatement("a", "b") << "Thalvane";
        QTest::newRow("upper case, brackets") << "SELECT * FROM [Ship Owners] WHERE id=1"
                                              << "Ship Owners";
        QTest::newRow("back quotes, no condition") << "select id from `表`"
                                                   << "表";
        QTest::newRow("two tables") << "select * from a, b where a.id=b.id"
                                    << "";
        QTest::newRow("a join") << "select * from a join b on a.id=b.id"
                                << "";
        QTest::newRow("no table") << "select 1"
                                  << "";
    }
    void tableOfAStatement() {
        QFETCH(QString, statement);
        QFETCH(QString, table);
        QCOMPARE(data::odbc::SingleTableOf(statement), table);
    }

    // The search lists the rows as they were at Open while its own connection deletes,
    // inserts and changes rows between two of its reads.
    void searchKeepsTheRowsAsAtOpen() {
        OdbcTestDatabase db;
        for (int i = 1; i <= 6; ++i)
            db.insert({{data::kFieldName, QStringLiteral("船东%1").arg(i)}});
        auto conn = db.connect();
        const Listed expected = ReadRest(*OpenSearch(*conn));
        QCOMPARE(expected.size(), 6);

        auto rs = OpenSearch(*conn);
        Listed listed;
        listed.append({rs->Value(data::kFieldId).toInt(), rs->Value(data::kFieldName).toString()});
        rs->MoveNext();
        conn->Execute(data::DeleteStatement(5)); // the current row
        conn->Execute(data::DeleteStatement(2)); // not listed yet
        auto save = conn->OpenRecordset(data::ReadOneRowStatement(-1), data::adOpenKeyset,
                                        data::adLockPessimistic);
        save->AddNew();
        save->SetValue(data::kFieldName, QStringLiteral("新船东"));
        save->Update();
        save->Close();
        listed += ReadRest(*rs);
        QCOMPARE(listed, expected);
        QCOMPARE(db.count(), 5);
    }

    void resultSetsOutliveTheirConnection() {
        OdbcTestDatabase db;
        const qint32 id = db.insert({{data::kFieldName, QStringLiteral("甲")}});
        auto conn = db.connect();
        auto search = OpenSearch(*conn);
        auto save = conn->OpenRecordset(data::ReadOneRowStatement(id), data::adOpenKeyset,
                                        data::adLockPessimistic);
        conn.reset();
        QCOMPARE(ReadRest(*search).size(), 1);
        save->SetValue(data::kFieldName, QStringLiteral("乙"));
        save->Update();
        QCOMPARE(db.row(id)->value(data::kFieldName).toString(), QStringLiteral("乙"));
    }

    // Through ODBC the driver compares: SQLite's LIKE ignores the case of ASCII letters
    // only, and knows nothing of full-width forms.
    void searchUsesTheDriversLike_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("ascii, other case") << "cosco" << QStringList{"COSCO Lines"};
        QTest::newRow("quote") << "O'Neil" << QStringList{"O'Neil Shipping"};
        QTest::newRow("injection finds only the literal text") << "x' or '1'='1" << QStringList{};
        QTest::newRow("full-width") << "ＣＯＳＣＯ" << QStringList{};
    }
    void searchUsesTheDriversLike() {
        QFETCH(QString, filter);
        QFETCH(QStringList, found);
        OdbcTestDatabase db;
        db.insert({{data::kFieldName, QStringLiteral("COSCO Lines")}});
        db.insert({{data::kFieldName, QStringLiteral("O'Neil Shipping")}});
        auto conn = db.connect();
        QStringList listed;
        for (const auto& row : ReadRest(*OpenSearch(*conn, filter)))
            listed << row.second;
        QCOMPARE(listed, found);
    }

    void cursorAndLockOutOfRangeAreRefused() {
        OdbcTestDatabase db;
        auto conn = db.connect();
        QVERIFY_THROWS_EXCEPTION(data::EngineError,
                                 conn->OpenRecordset(data::ReadOneRowStatement(1), 4, 1));
        QVERIFY_THROWS_EXCEPTION(data::EngineError,
                                 conn->OpenRecordset(data::ReadOneRowStatement(1), 3, 5));
    }
};

QTEST_GUILESS_MAIN(TestOdbcBackend)
#include "tst_odbcbackend.moc"
