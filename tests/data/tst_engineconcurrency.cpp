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
