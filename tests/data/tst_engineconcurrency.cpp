// Reads and writes that overlap: two connections on one file, and a search still reading
// while its own connection saves and deletes.

#include "data/engine.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "support/testdb.h"

#include <QtTest>

using testsupport::TestDatabase;

namespace {

using Listed = QList<QPair<qint32, QString>>;

// Reads the rest of a search result set as (id, name) pairs.
Listed ReadRest(data::Recordset& rs) {
    Listed rows;
    while (!rs.Eof()) {
        rows.append({rs.Value(data::kFieldId).toInt(), rs.Value(data::kFieldName).toString()});
        rs.MoveNext();
    }
    return rows;
}

qint32 AddRow(data::Connection& conn, const QString& name) {
    auto rs = conn.OpenRecordset(data::ReadOneRowStatement(-1), data::adOpenKeyset,
                                 data::adLockPessimistic);
    rs->AddNew();
    for (const QString& field : data::TextFields())
        rs->SetValue(field, name);
    rs->Update();
    return rs->Value(data::kFieldId).toInt();
}

void Rename(data::Connection& conn, qint32 id, const QString& name) {
    auto rs = conn.OpenRecordset(data::ReadOneRowStatement(id), data::adOpenKeyset,
                                 data::adLockPessimistic);
    QVERIFY(!rs->Eof());
    rs->SetValue(data::kFieldName, name);
    rs->Update();
}

std::unique_ptr<data::Recordset> OpenSearch(data::Connection& conn) {
    return conn.OpenRecordset(data::SearchStatement(QString(), QString()), data::adOpenStatic,
                              data::adLockReadOnly);
}

} // namespace

class TestEngineConcurrency : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    // The other connection's read stays open (mid-way through its rows) while this one
    // writes; neither side sees a lock error.
    void writeWhileAnotherConnectionReads_data() {
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("lock");
        QTest::newRow("search read") << int(data::adOpenStatic) << int(data::adLockReadOnly);
        QTest::newRow("forward-only read")
            << int(data::adOpenUnspecified) << int(data::adLockUnspecified);
    }
    void writeWhileAnotherConnectionReads() {
        QFETCH(int, cursor);
        QFETCH(int, lock);
        TestDatabase db(50);
        auto reader = db.connect();
        auto writer = db.connect();

        auto rs = reader->OpenRecordset(QStringLiteral("select id, 船东 from Thalvane order by id"),
                                        cursor, lock);
        QCOMPARE(rs->Value(data::kFieldId).toInt(), 1);
        rs->MoveNext();

        const qint32 added = AddRow(*writer, QStringLiteral("新船东"));
        Rename(*writer, 10, QStringLiteral("改名"));
        writer->Execute(data::DeleteStatement(20));
        // The other program's own writes work while both connections are open.
        db.exec(QStringLiteral("UPDATE Thalvane SET 国家='挪威' WHERE id=30"));

        int seen = 1;
        while (!rs->Eof()) {
            ++seen;
            rs->MoveNext();
        }
        QVERIFY(seen >= 49);
        QCOMPARE(db.count(), 50);
        QCOMPARE(db.row(added)->value(data::kFieldName).toString(), QStringLiteral("新船东"));
        QCOMPARE(db.row(10)->value(data::kFieldName).toString(), QStringLiteral("改名"));
    }

    void readWhileAnotherConnectionWrites() {
        TestDatabase db(20);
        auto writer = db.connect();
        auto reader = db.connect();
        auto save = writer->OpenRecordset(data::ReadOneRowStatement(5), data::adOpenKeyset,
                                          data::adLockPessimistic);
        save->SetValue(data::kFieldName, QStringLiteral("写入中"));
        auto rs = OpenSearch(*reader);
        save->Update();
        QCOMPARE(ReadRest(*rs).size(), 20);
        QCOMPARE(db.row(5)->value(data::kFieldName).toString(), QStringLiteral("写入中"));
    }

    // The search lists the rows as they were at Open while its own connection deletes,
    // inserts and changes rows between two of its reads.
    void searchKeepsTheRowsAsAtOpen() {
        TestDatabase db(12);
        auto conn = db.connect();
        auto before = OpenSearch(*conn);
        const Listed expected = ReadRest(*before);
        QCOMPARE(expected.size(), 12);
        QCOMPARE(expected.first().first, 12);

        auto rs = OpenSearch(*conn);
        Listed listed;
        for (int i = 0; i < 3; ++i) {
            listed.append(
                {rs->Value(data::kFieldId).toInt(), rs->Value(data::kFieldName).toString()});
            rs->MoveNext();
        }
        conn->Execute(data::DeleteStatement(8));  // not listed yet
        conn->Execute(data::DeleteStatement(12)); // already listed
        conn->Execute(data::DeleteStatement(9));  // the current row
        Rename(*conn, 5, QStringLiteral("改名"));
        AddRow(*conn, QStringLiteral("新船东"));
        for (int i = 0; i < 50; ++i) // enough to make the log checkpoint
            AddRow(*conn, QStringLiteral("批量") + QString::number(i));
        listed += ReadRest(*rs);
        rs->Close();

        QCOMPARE(listed, expected);
        QCOMPARE(db.count(), 12 - 3 + 51);
    }

    // The rows are those of the moment of Open, even when the first is read later.
    void snapshotStartsAtOpenNotAtTheFirstRead() {
        TestDatabase db(5);
        auto conn = db.connect();
        auto rs = OpenSearch(*conn);
        conn->Execute(data::DeleteStatement(5));
        AddRow(*conn, QStringLiteral("新船东"));
        const Listed listed = ReadRest(*rs);
        QCOMPARE(listed.size(), 5);
        QCOMPARE(listed.first().first, 5); // the deleted row, and not the new one
        rs->Close();
        QCOMPARE(ReadRest(*OpenSearch(*conn)).first().first, 6);
    }

    // A step that takes long lets the wait handler run; the handler may let it go on, give
    // up (the rows end there, without a failure) or close the result set.
    void waitForTheNextRow_data() {
        QTest::addColumn<QString>("handler");
        QTest::newRow("goes on") << QStringLiteral("go on");
        QTest::newRow("gives up") << QStringLiteral("give up");
        QTest::newRow("closes the result set") << QStringLiteral("close");
    }
    void waitForTheNextRow() {
        QFETCH(QString, handler);
        TestDatabase db(3);
        auto conn = db.connect();
        // Long enough to take well over the few milliseconds before the handler runs.
        const QString counting = QStringLiteral(
            "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000000) "
            "SELECT count(*) AS n FROM c");
        auto rs = conn->OpenRecordset(counting, data::adOpenStatic, data::adLockReadOnly);
        int calls = 0;
        rs->SetWaitHandler([&] {
            ++calls;
            if (handler == QLatin1String("close"))
                rs->Close();
            return handler != QLatin1String("give up");
        });
        const bool atEnd = rs->Eof();
        QVERIFY(calls >= 1);
        if (handler == QLatin1String("go on")) {
            QVERIFY(!atEnd);
            QCOMPARE(rs->Value(QStringLiteral("n")).toInt(), 3000000);
            QVERIFY(calls > 1); // now and then, not once
        } else {
            QCOMPARE(calls, 1);
            QVERIFY(atEnd);
            QCOMPARE(rs->IsOpen(), handler != QLatin1String("close"));
        }
        rs.reset();
        // The reader is free for the next search, which lists every row.
        QCOMPARE(ReadRest(*OpenSearch(*conn)).size(), 3);
    }

    void searchesOpenAtTheSameTimeEachKeepTheirOwnRows() {
        TestDatabase db(5);
        auto conn = db.connect();
        auto first = OpenSearch(*conn);
        conn->Execute(data::DeleteStatement(5));
        auto second = OpenSearch(*conn);
        conn->Execute(data::DeleteStatement(4));
        auto third = OpenSearch(*conn);
        QCOMPARE(ReadRest(*third).size(), 3);
        QCOMPARE(ReadRest(*first).size(), 5);
        QCOMPARE(ReadRest(*second).size(), 4);
    }

    void resultSetOutlivesItsConnection() {
        TestDatabase db(3);
        auto conn = db.connect();
        auto rs = OpenSearch(*conn);
        conn.reset();
        QCOMPARE(ReadRest(*rs).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestEngineConcurrency)
#include "tst_engineconcurrency.moc"
