// The engine cases shared by every engine: values, inserts, changes, deletes, end of
// data, large ids, and failures raised by the database.

#include "enginesuite.h"

#include "data/statements.h"
#include "data/valuerules.h"

#include <QtTest>
#include <optional>

using data::EngineError;

namespace {

// The kind of failure the call raises (std::nullopt when it raises none).
template <class Call> std::optional<data::FailureKind> KindOf(Call&& call) {
    try {
        call();
    } catch (const EngineError& e) {
        return e.kind();
    }
    return std::nullopt;
}

std::unique_ptr<data::Recordset> OpenForLoad(data::Connection& conn, qint32 id) {
    return conn.OpenRecordset(data::ReadOneRowStatement(id), data::adOpenUnspecified,
                              data::adLockUnspecified);
}

std::unique_ptr<data::Recordset> OpenForSave(data::Connection& conn, qint32 id) {
    return conn.OpenRecordset(data::ReadOneRowStatement(id), data::adOpenKeyset,
                              data::adLockPessimistic);
}

// The save as the record window runs it: nine writes, one Update. Returns the row's id.
qint32 Save(data::Connection& conn, qint32 id, const QStringList& values) {
    auto rs = OpenForSave(conn, id);
    if (rs->Eof())
        rs->AddNew();
    const QStringList fields = data::TextFields();
    for (int i = 0; i < fields.size(); ++i)
        rs->SetValue(fields[i], values.value(i));
    rs->Update();
    const qint32 saved = rs->Value(data::kFieldId).toInt();
    rs->Close();
    return saved;
}

QStringList NineValues(const QString& prefix) {
    QStringList values;
    for (const QString& field : data::TextFields())
        values << prefix + field;
    return values;
}

} // namespace

void EngineSuite::textRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty text") << QStringLiteral("");
    QTest::newRow("surrounding spaces") << QStringLiteral("  中远  ");
    QTest::newRow("line breaks") << QStringLiteral("第一行\r\n第二行\nthird\r\n");
    QTest::newRow("chinese") << QStringLiteral("中国远洋海运集团有限公司");
    QTest::newRow("greek") << QStringLiteral("Ναυτιλιακή Εταιρεία ΑΙΓΑΙΟΥ");
    QTest::newRow("emoji") << QStringLiteral("🚢 Blue ⚓ Line");
    QTest::newRow("quote and percent") << QStringLiteral("O'Neil 100% ;--");
    QTest::newRow("one megabyte")
        << QStringLiteral("航运abc\n").repeated(1024 * 1024 / 12 + 1).left(1024 * 1024);
}

void EngineSuite::textRoundTrip() {
    QFETCH(QString, text);
    auto db = makeFixture_();
    auto conn = db->connect();
    QStringList values = NineValues(QStringLiteral("x"));
    values[0] = text;
    values[8] = text;
    const qint32 id = Save(*conn, -1, values);

    // The engine stores the text as given (the value rules are applied by callers).
    const auto stored = db->row(id);
    QVERIFY(stored);
    QCOMPARE(stored->value(data::kFieldName).toString(), text);
    QVERIFY(!stored->value(data::kFieldName).isNull());

    auto rs = OpenForLoad(*conn, id);
    QVERIFY(!rs->Eof());
    const QVariant name = rs->Value(data::kFieldName);
    QVERIFY(!name.isNull());
    QCOMPARE(name.toString(), text);
    QCOMPARE(rs->Value(data::kFieldSubsidiaries).toString(), text);
    QCOMPARE(rs->Value(data::kFieldCountry).toString(), values[1]);
}

void EngineSuite::nullReadsAsNullAndStaysApartFromEmpty() {
    auto db = makeFixture_();
    const qint32 id =
        db->insert({{data::kFieldName, QStringLiteral("")}, {data::kFieldCountry, QVariant()}});
    auto conn = db->connect();
    auto rs = OpenForLoad(*conn, id);
    QVERIFY(rs->Value(data::kFieldCountry).isNull());
    QVERIFY(rs->Value(data::kFieldAddress).isNull()); // never written at all
    QVERIFY(!rs->Value(data::kFieldName).isNull());
    QCOMPARE(rs->Value(data::kFieldName).toString(), QString());
    QCOMPARE(rs->Value(data::kFieldId).toInt(), id);
}

void EngineSuite::addNewUpdateGivesTheNewId() {
    auto db = makeFixture_();
    db->insert({{data::kFieldName, QStringLiteral("甲")}});
    const qint32 last = db->insert({{data::kFieldName, QStringLiteral("乙")}});
    auto conn = db->connect();

    auto rs = OpenForSave(*conn, -1);
    QVERIFY(rs->Eof());
    rs->AddNew();
    QVERIFY(!rs->Eof());
    const QStringList values = NineValues(QStringLiteral("新"));
    for (int i = 0; i < values.size(); ++i)
        rs->SetValue(data::TextFields()[i], values[i]);
    QVERIFY(rs->Value(data::kFieldId).isNull()); // not stored yet
    rs->Update();
    const qint32 id = rs->Value(data::kFieldId).toInt();
    rs->Close();

    QVERIFY(id > last);
    QCOMPARE(db->count(), 3);
    const auto stored = db->row(id);
    QVERIFY(stored);
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(stored->value(data::TextFields()[i]).toString(), values[i]);
}

void EngineSuite::updateChangesOnlyTheRowWithThatKey() {
    auto db = makeFixture_();
    const qint32 first = db->insert({{data::kFieldName, QStringLiteral("一")}});
    const qint32 second = db->insert({{data::kFieldName, QStringLiteral("二")}});
    const qint32 third = db->insert({{data::kFieldName, QStringLiteral("三")}});
    const auto before1 = db->row(first);
    const auto before3 = db->row(third);
    auto conn = db->connect();

    QCOMPARE(Save(*conn, second, NineValues(QStringLiteral("改"))), second);

    QCOMPARE(db->count(), 3);
    QCOMPARE(db->row(first), before1);
    QCOMPARE(db->row(third), before3);
    QCOMPARE(db->row(second)->value(data::kFieldName).toString(),
             QStringLiteral("改") + data::kFieldName);
    QCOMPARE(db->row(second)->value(data::kFieldSubsidiaries).toString(),
             QStringLiteral("改") + data::kFieldSubsidiaries);
}

void EngineSuite::updateOfADeletedRowFails() {
    auto db = makeFixture_();
    const qint32 id = db->insert({{data::kFieldName, QStringLiteral("将被删除")}});
    auto conn = db->connect();
    auto rs = OpenForSave(*conn, id);
    rs->SetValue(data::kFieldName, QStringLiteral("改"));
    db->exec(QStringLiteral("DELETE FROM Thalvane WHERE id=%1").arg(id));
    QCOMPARE(KindOf([&] { rs->Update(); }), data::FailureKind::RowGone);
    QCOMPARE(db->count(), 0);
}

void EngineSuite::executeDeleteRemovesExactlyOneRow() {
    auto db = makeFixture_();
    const qint32 a = db->insert({{data::kFieldName, QStringLiteral("A")}});
    const qint32 b = db->insert({{data::kFieldName, QStringLiteral("B")}});
    const qint32 c = db->insert({{data::kFieldName, QStringLiteral("C")}});
    auto conn = db->connect();
    conn->Execute(data::DeleteStatement(b));
    QCOMPARE(db->count(), 2);
    QVERIFY(!db->row(b));
    QVERIFY(db->row(a));
    QVERIFY(db->row(c));
}

void EngineSuite::eofRightAfterOpen_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("lock");
    QTest::addColumn<bool>("eof");
    const QString none = data::ReadOneRowStatement(-1);
    const QString one = data::ReadOneRowStatement(1);
    const QString search = data::SearchStatement(QStringLiteral("船"), QString());
    const QString noMatch = data::SearchStatement(QStringLiteral("无此船东"), QString());
    QTest::newRow("load, no row") << none << -1 << -1 << true;
    QTest::newRow("load, a row") << one << -1 << -1 << false;
    QTest::newRow("save, no row") << none << 1 << 2 << true;
    QTest::newRow("save, a row") << one << 1 << 2 << false;
    QTest::newRow("search, no match") << noMatch << 3 << 1 << true;
    QTest::newRow("search, matches") << search << 3 << 1 << false;
}

void EngineSuite::eofRightAfterOpen() {
    QFETCH(QString, statement);
    QFETCH(int, cursor);
    QFETCH(int, lock);
    QFETCH(bool, eof);
    auto db = makeFixture_();
    QCOMPARE(db->insert({{data::kFieldName, QStringLiteral("一号船东")}}), 1);
    auto conn = db->connect();
    auto rs = conn->OpenRecordset(statement, cursor, lock);
    QCOMPARE(rs->Eof(), eof);
    if (!eof) {
        rs->MoveNext();
        QVERIFY(rs->Eof());
    }
}

void EngineSuite::idsAbove32767ReadSaveAndDelete() {
    auto db = makeFixture_();
    const qint32 big = 40000;
    db->insert({{data::kFieldId, big}, {data::kFieldName, QStringLiteral("大号")}});
    auto conn = db->connect();

    auto rs = OpenForLoad(*conn, big);
    QVERIFY(!rs->Eof());
    QCOMPARE(rs->Value(data::kFieldId).toInt(), big);
    QCOMPARE(rs->Value(data::kFieldName).toString(), QStringLiteral("大号"));
    rs->Close();

    QCOMPARE(Save(*conn, big, NineValues(QStringLiteral("改"))), big);
    QCOMPARE(db->row(big)->value(data::kFieldName).toString(),
             QStringLiteral("改") + data::kFieldName);

    // New rows continue past the large id and come back whole.
    const qint32 added = Save(*conn, -1, NineValues(QStringLiteral("新")));
    QCOMPARE(added, big + 1);

    conn->Execute(data::DeleteStatement(big));
    QVERIFY(!db->row(big));
    QVERIFY(db->row(added));
}

void EngineSuite::fieldsAreFoundByNameInAnyCase() {
    auto db = makeFixture_();
    const qint32 id = db->insert({{data::kFieldName, QStringLiteral("名")}});
    auto conn = db->connect();
    auto rs = OpenForLoad(*conn, id);
    QCOMPARE(rs->Value(QStringLiteral("ID")).toInt(), id);
    QCOMPARE(rs->Value(QStringLiteral("Id")).toInt(), id);
}

// The text a result set gives for a field, without the value, is what the value rule
// makes of the value: for the search's snapshot and for the record window's result set.
void EngineSuite::textOfAFieldIsItsValueByTheValueRule_data() {
    QTest::addColumn<QString>("stored"); // an SQL expression stored in the country field
    QTest::addColumn<QString>("text");
    QTest::newRow("null") << QStringLiteral("NULL") << QString();
    QTest::newRow("empty") << QStringLiteral("''") << QString();
    QTest::newRow("spaces only") << QStringLiteral("'   '") << QString();
    QTest::newRow("spaces around")
        << QStringLiteral("'  中远 海运  '") << QStringLiteral("中远 海运");
    QTest::newRow("tabs and line breaks stay")
        << QStringLiteral("' \t第一行\n '") << QStringLiteral("\t第一行\n");
    QTest::newRow("surrogate pair") << QStringLiteral("' 🚢 '") << QStringLiteral("🚢");
    QTest::newRow("number") << QStringLiteral("-7") << QStringLiteral("-7");
}

void EngineSuite::textOfAFieldIsItsValueByTheValueRule() {
    QFETCH(QString, stored);
    QFETCH(QString, text);
    auto db = makeFixture_();
    db->exec(QStringLiteral("INSERT INTO Thalvane (id, 船东, 国家) VALUES (40000, '名', %1)")
                 .arg(stored));
    auto conn = db->connect();
    const QString statements[] = {data::SearchStatement(QString(), QString()),
                                  data::ReadOneRowStatement(40000)};
    const int cursors[] = {data::adOpenStatic, data::adOpenUnspecified};
    const int locks[] = {data::adLockReadOnly, data::adLockUnspecified};
    for (int i = 0; i < 2; ++i) {
        auto rs = conn->OpenRecordset(statements[i], cursors[i], locks[i]);
        QVERIFY(!rs->Eof());
        const int country = rs->FieldIndex(QStringLiteral("国家"));
        QCOMPARE(rs->FieldIndex(QStringLiteral("ID")), rs->FieldIndex(data::kFieldId));
        QCOMPARE(rs->TextAt(country), data::FieldText(rs->Value(data::kFieldCountry)));
        QCOMPARE(rs->TextAt(country), text);
        QCOMPARE(rs->TextAt(rs->FieldIndex(data::kFieldId)), QStringLiteral("40000"));
        QCOMPARE(KindOf([&] { rs->FieldIndex(QStringLiteral("无此字段")); }),
                 data::FailureKind::ColumnMissing);
        for (const int outside : {-1, 99})
            QVERIFY(KindOf([&] { rs->TextAt(outside); }));
        rs->MoveNext();
        QCOMPARE(KindOf([&] { rs->TextAt(country); }), data::FailureKind::RowGone);
    }
}

void EngineSuite::misuseRaisesWithAMessage() {
    auto db = makeFixture_();
    const qint32 id = db->insert({{data::kFieldName, QStringLiteral("名")}});
    auto conn = db->connect();

    auto load = OpenForLoad(*conn, id);
    const auto messageOf = [](auto&& call) {
        try {
            call();
        } catch (const EngineError& e) {
            return e.message();
        }
        return QString();
    };
    QVERIFY(!messageOf([&] { load->Value(QStringLiteral("无此字段")); }).isEmpty());
    QVERIFY(!messageOf([&] { load->SetValue(data::kFieldName, QStringLiteral("x")); }).isEmpty());
    load->MoveNext();
    QVERIFY(!messageOf([&] { load->Value(data::kFieldName); }).isEmpty());
    QVERIFY(!messageOf([&] { load->MoveNext(); }).isEmpty());
    load->Close();
    QVERIFY(!messageOf([&] { load->Eof(); }).isEmpty());

    auto save = OpenForSave(*conn, -1);
    QVERIFY(!messageOf([&] { save->SetValue(data::kFieldName, QStringLiteral("x")); }).isEmpty());
    save->AddNew();
    QVERIFY(!messageOf([&] { save->SetValue(data::kFieldId, QStringLiteral("7")); }).isEmpty());

    QVERIFY(!messageOf([&] {
                 conn->OpenRecordset(QStringLiteral("select * from 无此表"), 3, 1);
             }).isEmpty());
    QVERIFY(!messageOf([&] {
                 conn->Execute(data::DeleteStatement(id) +
                               QStringLiteral("; delete from Thalvane"));
             }).isEmpty());
    QVERIFY(db->row(id));
}

// The database refuses the write: the error carries its message and nothing is stored.
void EngineSuite::refusedWritesRaiseAndStoreNothing_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<QString>("message");
    QTest::newRow("insert refused by a trigger")
        << QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Thalvane "
                          "BEGIN SELECT RAISE(ABORT, '磁盘已满'); END")
        << true << QStringLiteral("磁盘已满");
    QTest::newRow("update refused by a trigger on the last field")
        << QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF 子公司介绍 ON Thalvane "
                          "BEGIN SELECT RAISE(ABORT, '拒绝修改'); END")
        << false << QStringLiteral("拒绝修改");
}

void EngineSuite::refusedWritesRaiseAndStoreNothing() {
    QFETCH(QString, setup);
    QFETCH(bool, insert);
    QFETCH(QString, message);
    auto db = makeFixture_();
    const qint32 id = db->insert({{data::kFieldName, QStringLiteral("原名")}});
    const auto before = db->row(id);
    db->exec(setup);
    auto conn = db->connect();
    try {
        Save(*conn, insert ? -1 : id, NineValues(QStringLiteral("新")));
        QFAIL("the save did not fail");
    } catch (const EngineError& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
    QCOMPARE(db->count(), 1);
    QCOMPARE(db->row(id), before); // no field of the row was changed
}

void EngineSuite::tableWithoutAColumn() {
    auto db = makeFixture_();
    db->exec(QStringLiteral("DROP TABLE Thalvane"));
    db->exec(QStringLiteral(
        "CREATE TABLE Thalvane (id INTEGER PRIMARY KEY AUTOINCREMENT, "
        "船东 TEXT, 国家 TEXT, 地址 TEXT, 传真 TEXT, 网址 TEXT, 电子邮箱 TEXT, 公司简介 TEXT, "
        "子公司介绍 TEXT)"));
    db->insert({{data::kFieldName, QStringLiteral("缺电话")}});
    auto conn = db->connect();

    auto save = OpenForSave(*conn, -1);
    save->AddNew();
    QCOMPARE(KindOf([&] { save->SetValue(data::kFieldPhone, QStringLiteral("1")); }),
             data::FailureKind::ColumnMissing);
    QVERIFY_THROWS_EXCEPTION(EngineError,
                             conn->OpenRecordset(data::SearchStatement(QString(), QString()),
                                                 data::adOpenStatic, data::adLockReadOnly));
    QCOMPARE(db->count(), 1);
}

int RunEngineSuite(int argc, char** argv, EngineFixtureFactory makeFixture) {
    QCoreApplication app(argc, argv);
    EngineSuite suite(std::move(makeFixture));
    return QTest::qExec(&suite, argc, argv);
}
