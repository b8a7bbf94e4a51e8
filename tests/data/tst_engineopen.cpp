// Opening the connection: what it accepts, what it refuses, and that a refused open
// leaves the folder exactly as it was.

#include "data/connectionstring.h"
#include "data/databasefile.h"
#include "data/engine.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/sqlcipher/sqlitehandle.h"
#include "dbbuilder.h"
#include "support/smalldisk.h"
#include "support/testdb.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <sqlite3.h>

using testsupport::TestDatabase;

namespace {

const QString kHead = QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=");

// Names and sizes of everything in a folder.
QStringList Listing(const QString& dir) {
    QStringList entries;
    for (const QFileInfo& info : QDir(dir).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        entries << info.fileName() + QLatin1Char(':') + QString::number(info.size());
    return entries;
}

} // namespace

class TestEngineOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    // A failure read after another call replaced the connection's message still says
    // what the failing call returned.
    void failureSaysWhatTheCallReturned() {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "select 1", nullptr, nullptr, nullptr), SQLITE_OK);
        const data::EngineError damaged = data::sqlite::Failure(db, SQLITE_CORRUPT);
        QVERIFY2(damaged.message().contains(QLatin1String("malformed")),
                 qPrintable(damaged.message()));
        QCOMPARE(damaged.kind(), data::FailureKind::Damaged);
        // Right after the failing call, the connection's own, fuller message.
        QVERIFY(sqlite3_exec(db, "select * from nowhere", nullptr, nullptr, nullptr) != SQLITE_OK);
        QVERIFY(data::sqlite::Failure(db, SQLITE_ERROR).message().contains("nowhere"));
        sqlite3_close(db);
    }

    void opensTheFixtureFileThroughABackslashPath() {
        TestDatabase db;
        QVERIFY(db.dir().contains(QLatin1Char(' ')));
        QVERIFY(db.connectionString().contains(QStringLiteral("\\shipman.bcd")));
        const QStringList before = Listing(db.dir());
        data::Connection conn;
        conn.Open(db.connectionString(), QString(), data::kPassword, -1);
        QVERIFY(conn.IsOpen());
        QVERIFY(conn.OpenRecordset(QStringLiteral("select * from Thalvane"), 3, 1)->Eof());
        conn.Close();
        // No file whose name holds a backslash, nothing left behind.
        QCOMPARE(Listing(db.dir()), before);
    }

    void connectionStringKeysAndDriverIgnoreCase() {
        TestDatabase db;
        data::Connection conn;
        conn.Open(QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb)};DBQ=") + db.dir() +
                      QStringLiteral("\\shipman.bcd"),
                  QString(), data::kPassword, -1);
        QVERIFY(conn.IsOpen());
    }

    void connectionStringParts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("path");
        QTest::newRow("as start-up forms it")
            << kHead + QStringLiteral("/var/lib/thalvane\\shipman.bcd")
            << QStringLiteral("microsoft access driver (*.mdb)")
            << QStringLiteral("/var/lib/thalvane\\shipman.bcd");
        QTest::newRow("windows path")
            << kHead + QStringLiteral("C:\\WINDOWS\\system32\\shipman.bcd")
            << QStringLiteral("microsoft access driver (*.mdb)")
            << QStringLiteral("C:\\WINDOWS\\system32\\shipman.bcd");
        QTest::newRow("keys in any case, spaces around keys")
            << QStringLiteral(" DBQ=/a b/中文\\f.bcd; DRIVER={X (*.mdb)} ")
            << QStringLiteral("X (*.mdb)") << QStringLiteral("/a b/中文\\f.bcd");
        QTest::newRow("no dbq") << QStringLiteral("Driver={x}") << QStringLiteral("x") << QString();
    }
    void connectionStringParts() {
        QFETCH(QString, text);
        QFETCH(QString, driver);
        QFETCH(QString, path);
        const data::ConnectionString parsed = data::ParseConnectionString(text);
        QCOMPARE(parsed.driver, driver);
        QCOMPARE(parsed.databasePath, path);
    }

    // Off Windows the backslash start-up joins the file name with is read as a separator;
    // on Windows the path is taken as it is.
    void backslashIsTheSeparator() {
        const QString dbq = QStringLiteral("/tmp/船东 目录\\shipman.bcd");
#ifdef Q_OS_WIN
        QCOMPARE(data::LocalDatabasePath(dbq), dbq);
#else
        QCOMPARE(data::LocalDatabasePath(dbq), QStringLiteral("/tmp/船东 目录/shipman.bcd"));
#endif
    }

    // Each case prepares dir/shipman.bcd (or not); Open must fail and change nothing.
    void refusedOpenLeavesNoFileBehind_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << QStringLiteral("missing");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("empty file") << QStringLiteral("empty");
        QTest::newRow("not a database") << QStringLiteral("text");
        QTest::newRow("plain SQLite file") << QStringLiteral("plain");
        QTest::newRow("another password") << QStringLiteral("password");
        QTest::newRow("no table Thalvane") << QStringLiteral("notable");
        QTest::newRow("another driver") << QStringLiteral("driver");
    }
    void refusedOpenLeavesNoFileBehind() {
        QFETCH(QString, kind);
        QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/打开 失败-XXXXXX"));
        QVERIFY(folder.isValid());
        const QString path = folder.path() + QStringLiteral("/shipman.bcd");
        QString connectionString = kHead + folder.path() + QStringLiteral("\\shipman.bcd");
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("empty") || kind == QLatin1String("text")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("text"))
                file.write(QByteArray("这不是数据库\n").repeated(500));
        } else if (kind == QLatin1String("plain")) {
            dbbuilder::Database::Create(path, QByteArray())
                .exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        } else if (kind == QLatin1String("password")) {
            dbbuilder::Database::Create(path, "another")
                .exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        } else if (kind == QLatin1String("notable")) {
            dbbuilder::Database::Create(path).exec(QStringLiteral("DROP TABLE Thalvane"));
        } else if (kind == QLatin1String("driver")) {
            dbbuilder::Database::Create(path);
            connectionString.replace(QStringLiteral("microsoft access driver (*.mdb)"),
                                     QStringLiteral("SQL Server"));
        }
        const QStringList before = Listing(folder.path());

        data::Connection conn;
        try {
            conn.Open(connectionString, QString(), data::kPassword, -1);
            QFAIL("Open succeeded");
        } catch (const data::EngineError& e) {
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(!conn.IsOpen());
        QCOMPARE(Listing(folder.path()), before);
    }

    // A database on a disk with no room left for the shared-memory file the log needs.
    void openingOnAFullDiskSaysTheDiskIsFull() {
        testsupport::SmallDisk disk(512);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.reason()));
        TestDatabase db(3, disk.path());
        db.close();
        QVERIFY(!QFile::exists(db.path() + QStringLiteral("-shm")));
        disk.Fill();

        data::Connection conn;
        try {
            conn.Open(db.connectionString(), data::kUserId, data::kPassword, -1);
            QFAIL("Open succeeded");
        } catch (const data::EngineError& e) {
            QCOMPARE(e.kind(), data::FailureKind::DiskFull);
            QVERIFY2(e.message().contains(QLatin1String("the disk is full")),
                     qPrintable(e.message()));
            QVERIFY2(!e.message().contains(QLatin1String("password")), qPrintable(e.message()));
        }
    }

    void openTwiceIsRefusedAndClosedConnectionRefusesWork() {
        TestDatabase db;
        auto conn = db.connect();
        QVERIFY_THROWS_EXCEPTION(data::EngineError,
                                 conn->Open(db.connectionString(), QString(), data::kPassword, -1));
        conn->Close();
        QVERIFY(!conn->IsOpen());
        QVERIFY_THROWS_EXCEPTION(data::EngineError,
                                 conn->Execute(QStringLiteral("delete from Thalvane where id=1")));
        QVERIFY_THROWS_EXCEPTION(
            data::EngineError, conn->OpenRecordset(QStringLiteral("select * from Thalvane"), 3, 1));
    }
};

QTEST_GUILESS_MAIN(TestEngineOpen)
#include "tst_engineopen.moc"
