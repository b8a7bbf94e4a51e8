// Start-up where the driver manager has the driver the connection string names: the
// program opens <system directory>\shipman.bcd through ODBC, and every failure still
// gives the one message.

#include "app/modGeneral.h"
#include "data/enginechoice.h"
#include "data/odbc/odbcbackend.h"
#include "data/statements.h"
#include "odbctestdb.h"
#include "platform/msgbox.h"
#include "platform/sysdir.h"
#include "support/msgboxes.h"
#include "support/windows.h"
#include "ui/form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <dlfcn.h>
#include <optional>

class TestOdbcStartup : public QObject {
    Q_OBJECT

    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;

private slots:
    void initTestCase() {
        data::RegisterOdbcEngine();
        // The driver would otherwise run on SQLCipher's copy of SQLite.
        QVERIFY2(!dlopen("libsqlcipher.so.0", RTLD_NOLOAD | RTLD_LAZY),
                 "SQLCipher is loaded into the ODBC start-up test");
        QVERIFY2(data::odbc::HasDriver(odbctest::kDriver), "the tests' odbcinst.ini is not used");
    }
    void init() {
        boxes.clear();
        recorder.emplace(boxes);
        // Each case decides afresh, as a new run of the program would.
        data::SetDriverQueryForTesting({});
    }
    void cleanup() {
        forms::DestroyAll();
        modGeneral::ResetConnection();
        recorder.reset();
        platform::SetSystemDirectoryOverride(std::nullopt);
    }

    void opensTheDatabaseThroughOdbc() {
        odbctest::OdbcTestDatabase db;
        const qint32 id = db.insert({{data::kFieldName, QStringLiteral("远洋测试")}});
        platform::SetSystemDirectoryOverride(db.dir().toStdString());

        QVERIFY(modGeneral::Main());
        QVERIFY(boxes.empty());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(data::Engine::Odbc));
        QVERIFY(modGeneral::gConn().IsOpen());
        auto rs = modGeneral::gConn().OpenRecordset(data::ReadOneRowStatement(id), -1, -1);
        QVERIFY(!rs->Eof());
        QCOMPARE(rs->Value(data::kFieldName).toString(), QStringLiteral("远洋测试"));
    }

    void everyFailureShowsTheSameBoxAndNoWindow_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("no file") << "remove";
        QTest::newRow("not a database") << "garbage";
        QTest::newRow("no table Thalvane") << "drop";
    }
    void everyFailureShowsTheSameBoxAndNoWindow() {
        QFETCH(QString, damage);
        odbctest::OdbcTestDatabase db;
        if (damage == "drop") {
            db.exec(QStringLiteral("DROP TABLE Thalvane"));
        } else {
            QVERIFY(QFile::remove(db.path()));
            if (damage == "garbage") {
                QFile f(db.path());
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(QByteArray(4096, 'x'));
            }
        }
        const QStringList before = odbctest::Listing(db.dir());
        platform::SetSystemDirectoryOverride(db.dir().toStdString());

        QVERIFY(!modGeneral::Main());
        QCOMPARE(data::EngineOfLastOpen(), std::optional(data::Engine::Odbc));
        QCOMPARE(boxes.size(), std::size_t(1));
        QVERIFY(testsupport::IsDatabaseMissingBox(boxes[0]));
        QVERIFY(forms::Loaded().empty());
        QVERIFY(!testsupport::AnyWindowVisible());
        // The driver was not allowed to create the missing file.
        QCOMPARE(odbctest::Listing(db.dir()), before);
    }
};

QTEST_MAIN(TestOdbcStartup)
#include "tst_odbcstartup.moc"
