// Statement texts and value rules, and what the search statement finds when it runs.

#include "data/engine.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "data/valuerules.h"
#include "support/testdb.h"

#include <QtTest>

using testsupport::TestDatabase;

class TestStatements : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    void textFieldsInRecordOrder() {
        QCOMPARE(data::TextFields(), QStringList({"船东", "国家", "地址", "电话", "传真", "网址",
                                                  "电子邮箱", "公司简介", "子公司介绍"}));
    }

    void rowStatements_data() {
        QTest::addColumn<qint32>("id");
        QTest::addColumn<QString>("digits");
        QTest::newRow("add mode") << qint32(-1) << QStringLiteral("-1");
        QTest::newRow("zero") << qint32(0) << QStringLiteral("0");
        QTest::newRow("small") << qint32(7) << QStringLiteral("7");
        QTest::newRow("16-bit limit") << qint32(32767) << QStringLiteral("32767");
        QTest::newRow("past 16 bits") << qint32(32768) << QStringLiteral("32768");
        QTest::newRow("32-bit limit") << qint32(2147483647) << QStringLiteral("2147483647");
    }
    void rowStatements() {
        QFETCH(qint32, id);
        QFETCH(QString, digits);
        QCOMPARE(data::ReadOneRowStatement(id), "select * from Thalvane where id=" + digits);
        QCOMPARE(data::DeleteStatement(id), "delete from Thalvane where id=" + digits);
    }

    void search_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("statement");
        const QString base =
            QStringLiteral("select 船东,国家,地址,电话,id from Thalvane where 1=1 ");
        const QString order = QStringLiteral(" order by id desc ");
        QTest::newRow("both empty") << ""
                                    << "" << base + order;
        QTest::newRow("spaces only") << "   "
                                     << " " << base + order;
        QTest::newRow("name only") << "abc"
                                   << "" << base + " and  船东 like '%abc%'" + order;
        QTest::newRow("country only") << ""
                                      << "希腊" << base + " and  国家 like '%希腊%'" + order;
        QTest::newRow("both") << "远洋"
                              << "中国"
                              << base + " and  船东 like '%远洋%' and  国家 like '%中国%'" + order;
        QTest::newRow("surrounding spaces") << "  abc  "
                                            << "" << base + " and  船东 like '%abc%'" + order;
        QTest::newRow("inner spaces") << " Blue  Star "
                                      << "" << base + " and  船东 like '%Blue  Star%'" + order;
        QTest::newRow("only ASCII spaces trimmed")
            << "\tabc\u3000"
            << "" << base + " and  船东 like '%\tabc\u3000%'" + order;
        QTest::newRow("percent") << "50%"
                                 << "" << base + " and  船东 like '%50%%'" + order;
        QTest::newRow("quote doubled") << "O'Neil"
                                       << "" << base + " and  船东 like '%O''Neil%'" + order;
        QTest::newRow("injection attempt")
            << "x' or '1'='1"
            << "" << base + " and  船东 like '%x'' or ''1''=''1%'" + order;
        QTest::newRow("quote in country")
            << ""
            << "Côte d'Ivoire" << base + " and  国家 like '%Côte d''Ivoire%'" + order;
    }
    void search() {
        QFETCH(QString, name);
        QFETCH(QString, country);
        QFETCH(QString, statement);
        QCOMPARE(data::SearchStatement(name, country), statement);
        // The export's statement carries the very same conditions, and every field.
        const QString conditions =
            statement.mid(data::kSearchBase.size(),
                          statement.size() - data::kSearchBase.size() - data::kSearchOrder.size());
        QCOMPARE(data::ExportStatement(name, country),
                 "select * from Thalvane where 1=1 " + conditions + " order by id");
    }

    // The statement run against real rows: quotes cannot end the pattern early.
    void searchFinds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("all, highest id first")
            << ""
            << "" << QStringList{"50% Line", "x' or '1'='1 Ltd", "O'Neil Shipping", "中远远洋"};
        QTest::newRow("quote") << "O'Neil"
                               << "" << QStringList{"O'Neil Shipping"};
        QTest::newRow("injection finds only the literal text")
            << "x' or '1'='1"
            << "" << QStringList{"x' or '1'='1 Ltd"};
        QTest::newRow("injection with no such row") << "y' or '1'='1"
                                                    << "" << QStringList{};
        QTest::newRow("trailing comment attempt") << "x' --"
                                                  << "" << QStringList{};
        QTest::newRow("percent is a pattern") << "0%L"
                                              << "" << QStringList{"50% Line"};
        QTest::newRow("country quote") << ""
                                       << "d'I" << QStringList{"O'Neil Shipping"};
        QTest::newRow("both conditions") << "远洋"
                                         << "中国" << QStringList{"中远远洋"};
    }
    void searchFinds() {
        QFETCH(QString, name);
        QFETCH(QString, country);
        QFETCH(QStringList, found);
        TestDatabase db;
        db.insert({{data::kFieldName, QStringLiteral("中远远洋")},
                   {data::kFieldCountry, QStringLiteral("中国")}});
        db.insert({{data::kFieldName, QStringLiteral("O'Neil Shipping")},
                   {data::kFieldCountry, QStringLiteral("Côte d'Ivoire")}});
        db.insert({{data::kFieldName, QStringLiteral("x' or '1'='1 Ltd")}});
        db.insert({{data::kFieldName, QStringLiteral("50% Line")}});
        auto conn = db.connect();
        auto rs = conn->OpenRecordset(data::SearchStatement(name, country), data::adOpenStatic,
                                      data::adLockReadOnly);
        QStringList listed;
        for (; !rs->Eof(); rs->MoveNext())
            listed << rs->Value(data::kFieldName).toString();
        QCOMPARE(listed, found);
        QCOMPARE(db.count(), 4);
    }

    void fieldText_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << QVariant() << "";
        QTest::newRow("empty") << QVariant(QString("")) << "";
        QTest::newRow("id") << QVariant(qint32(40000)) << "40000";
        QTest::newRow("negative") << QVariant(qint32(-1)) << "-1";
        QTest::newRow("64-bit number") << QVariant(qint64(5000000000)) << "5000000000";
        QTest::newRow("surrounding spaces") << QVariant(QString("  中远 海运  ")) << "中远 海运";
        QTest::newRow("spaces only") << QVariant(QString("    ")) << "";
        QTest::newRow("line breaks kept")
            << QVariant(QString(" \r\n第一行\r\n第二行\n ")) << "\r\n第一行\r\n第二行\n";
        QTest::newRow("tab and ideographic space kept")
            << QVariant(QString("\t甲\u3000")) << "\t甲\u3000";
    }
    void fieldText() {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(data::FieldText(value), text);
    }

    void storedText_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("stored");
        QTest::newRow("null box") << QString() << "";
        QTest::newRow("empty box") << QString("") << "";
        QTest::newRow("spaces only") << QString("   ") << "";
        QTest::newRow("surrounding spaces") << QString("  Blue Star  ") << "Blue Star";
        QTest::newRow("line breaks kept") << QString("a\r\nb \r\n") << "a\r\nb \r\n";
        QTest::newRow("unchanged") << QString("希腊") << "希腊";
    }
    void storedText() {
        QFETCH(QString, box);
        QFETCH(QString, stored);
        const QString result = data::StoredText(box);
        QCOMPARE(result, stored);
        QVERIFY(!result.isNull()); // never Null
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
