// Which engine serves the connection: asked of the driver manager (here a fake, or the
// real one with no such driver registered), decided once, and start-up's one message
// whichever engine refused the file.

#include "app/modGeneral.h"
#include "data/databasefile.h"
#include "data/enginechoice.h"
#include "data/odbc/odbcbackend.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "platform/msgbox.h"
#include "platform/sysdir.h"
#include "support/msgboxes.h"
#include "support/testdb.h"
#include "ui/form.h"

#include <QApplication>
#include <QFile>
#include <QtTest>
#include <optional>

using data::Engine;

class TestBackendChoice : public QObject {
    Q_OBJECT

    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;
    QStringList asked; // driver names the fake was asked about

    // A driver manager that has exactly the drivers named.
    data::DriverQuery FakeDriverManager(QStringList drivers) {
        return [this, drivers](const QString& driver) {
            asked << driver;
            return drivers.contains(driver, Qt::CaseInsensitive);
        };
    }

    void ExpectTheOneBox() {
        QCOMPARE(boxes.size(), std::size_t(1));
        QVERIFY(testsupport::IsDatabaseMissingBox(boxes[0]));
        QVERIFY(forms::Loaded().empty());
    }

private slots:
    void initTestCase() {
        data::RegisterOdbcEngine();
        data::RegisterEmbeddedEngine();
    }
    void init() {
        boxes.clear();
        asked.clear();
        recorder.emplace(boxes);
    }
    void cleanup() {
        forms::DestroyAll();
        modGeneral::ResetConnection();
        recorder.reset();
        platform::SetSystemDirectoryOverride(std::nullopt);
        data::SetDriverQueryForTesting({});
    }

    void theDriverNamedInTheStringIsAskedFor() {
        data::SetDriverQueryForTesting(FakeDriverManager({"SQL Server"}));
        data::Connection conn;
        QVERIFY_THROWS_EXCEPTION(
            data::EngineError,
            conn.Open(QStringLiteral(" driver = {SQL Server} ;dbq=C:\\x.mdb"), "", "", -1));
        QCOMPARE(asked, QStringList{"SQL Server"});
        QCOMPARE(data::EngineOfLastOpen(), std::optional(Engine::Odbc));
    }

    // The answer for a driver name is kept, in any case of the name, even when the
    // driver manager would answer otherwise later.
    void decidedOnceForTheRun() {
        testsupport::TestDatabase db;
        bool installed = false;
        data::SetDriverQueryForTesting([&](const QString& driver) {
            asked << driver;
            return installed;
        });
        QVERIFY(db.connect()->IsOpen());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(Engine::Embedded));
        installed = true;
        data::Connection again;
        again.Open(db.connectionString().replace("microsoft access", "MICROSOFT ACCESS"), "",
                   data::kPassword, -1);
        QVERIFY(again.IsOpen());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(Engine::Embedded));
        QCOMPARE(asked, QStringList{"microsoft access driver (*.mdb)"});
        // Another driver name is a question of its own.
        QCOMPARE(data::ChooseEngine(QStringLiteral("another driver"), {}), Engine::Odbc);
        QCOMPARE(asked.size(), 2);
    }

    void startUpWithoutTheDriverUsesTheEmbeddedEngine_data() {
        QTest::addColumn<bool>("fake");
        QTest::newRow("the driver manager has no such driver") << false;
        QTest::newRow("a fake driver manager without it") << true;
    }
    void startUpWithoutTheDriverUsesTheEmbeddedEngine() {
        QFETCH(bool, fake);
        if (fake)
            data::SetDriverQueryForTesting(FakeDriverManager({"SQLite3"}));
        else
            QVERIFY(!data::odbc::HasDriver(QStringLiteral("microsoft access driver (*.mdb)")));
        testsupport::TestDatabase db;
        db.insert({{"船东", "远洋测试"}});
        platform::SetSystemDirectoryOverride(db.dir().toStdString());

        QVERIFY(modGeneral::Main());
        QVERIFY(boxes.empty());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(Engine::Embedded));
        QVERIFY(modGeneral::gConn().IsOpen());
        QCOMPARE(asked.size(), fake ? 1 : 0);
    }

    void missingFileGivesTheBoxWithTheEmbeddedEngine() {
        testsupport::TestDatabase db;
        QVERIFY(QFile::remove(db.path()));
        platform::SetSystemDirectoryOverride(db.dir().toStdString());
        QVERIFY(!modGeneral::Main());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(Engine::Embedded));
        ExpectTheOneBox();
        QVERIFY(!QFile::exists(db.path()));
    }

    // The driver manager says it has the driver but cannot load it: ODBC serves the open
    // and refuses it, and start-up gives its one message.
    void driverThatCannotBeLoadedGivesTheBox() {
        data::SetDriverQueryForTesting(FakeDriverManager({"Microsoft Access Driver (*.mdb)"}));
        testsupport::TestDatabase db;
        platform::SetSystemDirectoryOverride(db.dir().toStdString());
        QVERIFY(!modGeneral::Main());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(Engine::Odbc));
        ExpectTheOneBox();
    }
};

QTEST_MAIN(TestBackendChoice)
#include "tst_backendchoice.moc"
