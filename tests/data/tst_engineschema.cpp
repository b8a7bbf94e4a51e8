// A table rebuilt by another program while this connection is open: fields are found by
// the names the table has now, never by the positions it had before.

#include "data/engine.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "support/testdb.h"

#include <QtTest>

class TestEngineSchema : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    void fieldsFollowATableRebuiltElsewhere_data() {
        QTest::addColumn<int>("cursorType");
        QTest::addColumn<int>("lockType");
        QTest::newRow("load") << int(data::adOpenUnspecified) << int(data::adLockUnspecified);
        QTest::newRow("search") << int(data::adOpenStatic) << int(data::adLockReadOnly);
        QTest::newRow("save") << int(data::adOpenKeyset) << int(data::adLockPessimistic);
    }
    void fieldsFollowATableRebuiltElsewhere() {
        QFETCH(int, cursorType);
        QFETCH(int, lockType);
        testsupport::TestDatabase db;
        const qint32 id = db.insert({{"船东", "甲"}, {"传真", "fax"}, {"网址", "web"}});
        auto conn = db.connect();
        const QString select = QStringLiteral("select * from Thalvane where id=%1").arg(id);
        {
            // The connection has read the table as it was.
            auto rs = conn->OpenRecordset(select, cursorType, lockType);
            QCOMPARE(rs->Value("传真").toString(), QStringLiteral("fax"));
            rs->Close();
        }
        db.exec(QStringLiteral(
            "CREATE TABLE t2 (id INTEGER PRIMARY KEY AUTOINCREMENT, 船东 TEXT, 国家 TEXT, "
            "地址 TEXT, 电话 TEXT, 网址 TEXT, 电子邮箱 TEXT, 公司简介 TEXT, 子公司介绍 TEXT);"
            "INSERT INTO t2 SELECT id, 船东, 国家, 地址, 电话, 网址, 电子邮箱, 公司简介, "
            "子公司介绍 "
            "FROM Thalvane; DROP TABLE Thalvane; ALTER TABLE t2 RENAME TO Thalvane;"));

        auto rs = conn->OpenRecordset(select, cursorType, lockType);
        QVERIFY(!rs->Eof());
        QCOMPARE(rs->Value("网址").toString(), QStringLiteral("web"));
        QVERIFY_THROWS_EXCEPTION(data::EngineError, rs->Value("传真"));
        rs->Close();
    }
};

QTEST_MAIN(TestEngineSchema)
#include "tst_engineschema.moc"
