// The engine's LIKE: case folded in every script, full-width ASCII read as ASCII, and only
// % and _ as wildcards. Run through a search result set, as the search runs it.

#include "data/engine.h"
#include "data/sqlcipher/foldlike.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "support/testdb.h"

#include <QtTest>

using testsupport::TestDatabase;

namespace {
QString Literal(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
} // namespace

class TestFoldLike : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        data::RegisterEmbeddedEngine();
        conn_ = db_.connect();
    }
    void cleanupTestCase() { conn_.reset(); }

    void like_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("ascii case") << "COSCO Shipping"
                                    << "%cosco%" << true;
        QTest::newRow("full-width pattern") << "COSCO"
                                            << "%ＣＯＳＣＯ%" << true;
        QTest::newRow("full-width lower pattern") << "Cosco Lines"
                                                  << "%ｃｏｓｃｏ%" << true;
        QTest::newRow("full-width text") << "ＣＯＳＣＯ航运"
                                         << "%cosco%" << true;
        QTest::newRow("full-width digits") << "2024 年"
                                           << "%２０２４%" << true;
        QTest::newRow("greek with tonos") << "Ναυτιλιακή"
                                          << "%ΝΑΥΤΙΛΙΑΚΉ%" << true;
        QTest::newRow("greek final sigma") << "ΑΙΓΑΙΟΣ"
                                           << "%αιγαιος%" << true;
        QTest::newRow("greek accent matters") << "Ναυτιλιακή"
                                              << "%ΝΑΥΤΙΛΙΑΚΗ%" << false;
        QTest::newRow("cyrillic") << "Совкомфлот"
                                  << "%СОВКОМФЛОТ%" << true;
        QTest::newRow("german umlaut") << "Müller Reederei"
                                       << "%MÜLLER%" << true;
        QTest::newRow("umlaut is not its base letter") << "Müller"
                                                       << "%muller%" << false;
        QTest::newRow("french accent") << "CÔTE"
                                       << "%côte%" << true;
        QTest::newRow("chinese contains") << "中远海运 远洋运输"
                                          << "%远洋%" << true;
        QTest::newRow("no match") << "abc"
                                  << "%xyz%" << false;
        QTest::newRow("whole match, not contains") << "xabcx"
                                                   << "abc" << false;
        QTest::newRow("percent spans") << "a-long-c"
                                       << "a%c" << true;
        QTest::newRow("percent needs the end") << "a-long-cd"
                                               << "a%c" << false;
        QTest::newRow("underscore one letter") << "abc"
                                               << "a_c" << true;
        QTest::newRow("underscore not zero") << "ac"
                                             << "a_c" << false;
        QTest::newRow("underscore one hanzi") << "船"
                                              << "_" << true;
        QTest::newRow("underscore one emoji") << "🚢"
                                              << "_" << true;
        QTest::newRow("full-width percent is literal") << "50abc"
                                                       << "50％" << false;
        QTest::newRow("full-width percent matches percent") << "50%"
                                                            << "50％" << true;
        QTest::newRow("full-width underscore is literal") << "abc"
                                                          << "a＿c" << false;
        QTest::newRow("full-width underscore matches underscore") << "a_c"
                                                                  << "a＿c" << true;
        QTest::newRow("backslash is no escape") << "100% Line"
                                                << "%0\\%%" << false;
        QTest::newRow("empty matches empty") << ""
                                             << "" << true;
        QTest::newRow("empty pattern, text") << "a"
                                             << "" << false;
        QTest::newRow("percent matches empty") << ""
                                               << "%" << true;
        QTest::newRow("backtracking") << "aXbaXbc"
                                      << "%a_bc" << true;
    }
    void like() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        auto rs = conn_->OpenRecordset(
            QStringLiteral("select (%1 like %2) as m").arg(Literal(text), Literal(pattern)),
            data::adOpenStatic, data::adLockReadOnly);
        QCOMPARE(rs->Value(QStringLiteral("m")).toInt(), matches ? 1 : 0);
        QCOMPARE(data::LikeMatches(pattern, text), matches);
    }

    void escapeAndNull_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("result");
        QTest::newRow("escaped percent") << "'100% off' like '%0!%%' escape '!'" << QVariant(1);
        QTest::newRow("escaped percent, no percent")
            << "'1000 off' like '%0!%%' escape '!'" << QVariant(0);
        QTest::newRow("not like") << "'COSCO' not like '%cosco%'" << QVariant(0);
        QTest::newRow("null text") << "null like '%'" << QVariant();
        QTest::newRow("null pattern") << "'a' like null" << QVariant();
    }
    void escapeAndNull() {
        QFETCH(QString, expression);
        QFETCH(QVariant, result);
        auto rs = conn_->OpenRecordset("select (" + expression + ") as m", data::adOpenUnspecified,
                                       data::adLockUnspecified);
        const QVariant m = rs->Value(QStringLiteral("m"));
        QCOMPARE(m.isNull(), result.isNull());
        if (!result.isNull())
            QCOMPARE(m.toInt(), result.toInt());
    }

    void searchOverTheTable() {
        TestDatabase db;
        db.insert({{"船东", "COSCO SHIPPING Lines"}});
        db.insert({{"船东", "ΑΙΓΑΙΟΝ Ναυτιλιακή"}});
        db.insert({{"船东", QVariant()}});
        db.insert({{"船东", "Hapag-Lloyd"}});
        auto conn = db.connect();
        const auto names = [&](const QString& pattern) {
            QStringList found;
            auto rs = conn->OpenRecordset("select 船东 from Thalvane where 船东 like " +
                                              Literal(pattern) + " order by id",
                                          data::adOpenStatic, data::adLockReadOnly);
            for (; !rs->Eof(); rs->MoveNext())
                found << rs->Value(QStringLiteral("船东")).toString();
            return found;
        };
        QCOMPARE(names("%ｃｏｓｃｏ%"), QStringList{"COSCO SHIPPING Lines"});
        QCOMPARE(names("%αιγαιον%"), QStringList{"ΑΙΓΑΙΟΝ Ναυτιλιακή"});
        QCOMPARE(names("%"),
                 QStringList({"COSCO SHIPPING Lines", "ΑΙΓΑΙΟΝ Ναυτιλιακή", "Hapag-Lloyd"}));
    }

private:
    TestDatabase db_;
    std::unique_ptr<data::Connection> conn_;
};

QTEST_GUILESS_MAIN(TestFoldLike)
#include "tst_foldlike.moc"
