// The search window: its layout, the statement built from the filters, what a search
// lists, the keys that start one, and searches that fail without a word.

#include "data/sharedconnection.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "platform/msgbox.h"
#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "searchfixture.h"
#include "support/accessible.h"
#include "support/damage.h"
#include "support/msgboxes.h"
#include "testdb.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>
#include <optional>

using namespace searchtest;

namespace {

QVariantMap Shipowner(qint32 id, const QVariant& name, const QVariant& country = QVariant(),
                      const QVariant& phone = QVariant(), const QVariant& address = QVariant()) {
    return {{QStringLiteral("id"), id},
            {QStringLiteral("船东"), name},
            {QStringLiteral("国家"), country},
            {QStringLiteral("电话"), phone},
            {QStringLiteral("地址"), address}};
}

void Search(frmquery& w, const QString& name, const QString& country) {
    w.Text1->setText(name);
    w.Text2->setText(country);
    QTest::mouseClick(w.CmdQuery, Qt::LeftButton);
}

const QString kIncomplete = QStringLiteral("数据文件可能已损坏，查询结果不完整。");

const QString kAll =
    QStringLiteral("select 船东,国家,地址,电话,id from Thalvane where 1=1  order by id desc ");

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT

    std::vector<platform::MsgBoxCall> boxes_;
    std::optional<testsupport::MsgBoxRecorder> recorder_;
    std::unique_ptr<testsupport::TestDatabase> db_;

private slots:
    void initTestCase() {
        data::RegisterEmbeddedEngine();
        ui::InstallFontFallbacks();
    }

    void init() {
        db_ = std::make_unique<testsupport::TestDatabase>();
        Connect(*db_);
        recorder_.emplace(boxes_, platform::vbOK);
    }

    void cleanup() {
        forms::DestroyAll();
        recorder_.reset();
        const QStringList boxes = testsupport::Texts(boxes_);
        boxes_.clear();
        modGeneral::ResetConnection();
        db_.reset();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('|'))));
    }

    void layoutAsDesigned() {
        frmquery& w = OpenWindow();
        QCOMPARE(w.windowTitle(), QStringLiteral("船东查询"));
        QCOMPARE(w.size(), QSize(ui::Tw(9240), ui::Tw(6660)));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

        const std::pair<QWidget*, QRect> placed[] = {
            {w.Text1, ui::TwRect(3675, 285, 2190, 285)},
            {w.Text2, ui::TwRect(3900, 720, 2025, 285)},
            {w.CmdQuery, ui::TwRect(6240, 750, 1185, 315)},
            {w.CmdStop, ui::TwRect(7560, 750, 1185, 315)},
            {w.Grid, ui::TwRect(15, 1305, 9240, 5370)},
        };
        for (const auto& [widget, rect] : placed)
            QCOMPARE(widget->geometry(), rect);
        const QStringList names = {"Label1", "Text1",    "Label2",  "Text2", "Line3",
                                   "Line1",  "CmdQuery", "CmdStop", "Grid",  "Label5"};
        for (const QString& name : names)
            QVERIFY2(w.findChild<QWidget*>(name), qPrintable(name));
        QCOMPARE(w.Label1->text(), QStringLiteral("船东名称："));
        QCOMPARE(w.Label2->text(), QStringLiteral("国家："));
        QCOMPARE(w.Label5->text(), QStringLiteral("鼠标双击信息行,即可查看更详细信息"));
        QCOMPARE(w.Label5->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("查询"));
        QCOMPARE(w.CmdStop->text(), QStringLiteral("停止"));
        QCOMPARE(testsupport::AccessibleName(w.Text1), QStringLiteral("船东名称："));
        QCOMPARE(testsupport::AccessibleName(w.Text2), QStringLiteral("国家："));
        QVERIFY(!w.CmdQuery->isDefault() && !w.CmdQuery->autoDefault());
        QVERIFY(!w.CmdStop->isDefault() && !w.CmdStop->autoDefault());

        QCOMPARE(w.Grid->Rows(), 1);
        QCOMPARE(w.Grid->Cols(), 7);
        const QStringList header = {"序号", "船东名称", "国家", "联系电话", "地址", "id", ""};
        for (int c = 0; c < 7; ++c)
            QCOMPARE(w.Grid->TextMatrix(0, c), header[c]);
        QCOMPARE(ColumnWidths(*w.Grid), InitialColumnWidths());
        QVERIFY(GridView(*w.Grid)->horizontalHeader()->isSectionHidden(5));
    }

    void tabMovesThroughTheControlsInOrder() {
        frmquery& w = OpenWindow();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Text1->setFocus();
        const QList<QWidget*> order = {w.Text2, w.CmdQuery, w.CmdStop, GridView(*w.Grid), w.Text1};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void statementForFilters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("statement");
        const QString head =
            QStringLiteral("select 船东,国家,地址,电话,id from Thalvane where 1=1 ");
        const QString order = QStringLiteral(" order by id desc ");
        QTest::newRow("both empty") << ""
                                    << "" << kAll;
        QTest::newRow("spaces only") << "   "
                                     << " " << kAll;
        QTest::newRow("name only") << "abc"
                                   << "" << head + " and  船东 like '%abc%'" + order;
        QTest::newRow("country only") << ""
                                      << "希腊" << head + " and  国家 like '%希腊%'" + order;
        QTest::newRow("both") << "中远"
                              << "中国"
                              << head + " and  船东 like '%中远%' and  国家 like '%中国%'" + order;
        QTest::newRow("surrounding spaces") << "  abc  "
                                            << "" << head + " and  船东 like '%abc%'" + order;
        QTest::newRow("inner spaces") << " a b  c "
                                      << "" << head + " and  船东 like '%a b  c%'" + order;
        QTest::newRow("percent") << "10%"
                                 << "" << head + " and  船东 like '%10%%'" + order;
        QTest::newRow("quote") << "O'Neil"
                               << "" << head + " and  船东 like '%O''Neil%'" + order;
        QTest::newRow("injection")
            << "x' or '1'='1"
            << "a'"
            << head + " and  船东 like '%x'' or ''1''=''1%'" + " and  国家 like '%a''%'" + order;
    }
    void statementForFilters() {
        QFETCH(QString, name);
        QFETCH(QString, country);
        QFETCH(QString, statement);
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        Search(w, name, country);
        QCOMPARE(log.opened.size(), std::size_t(1));
        QCOMPARE(log.opened[0].statement, statement);
        QVERIFY(log.opened[0].closed);
        // The boxes keep what the user typed.
        QCOMPARE(w.Text1->text(), name);
    }

    // Which rows a filter finds: quotes stay inside the pattern, % and _ are wildcards,
    // and letters match whatever their case or width.
    void filterFinds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("quote") << "O'Neil"
                               << "" << QStringList{"O'Neil Shipping"};
        QTest::newRow("injection") << "x' or '1'='1"
                                   << "" << QStringList{};
        QTest::newRow("percent is a wildcard") << "100%"
                                               << "" << QStringList{"1000 Marine", "100% Marine"};
        QTest::newRow("underscore is a wildcard") << "n_St"
                                                  << "" << QStringList{"OceanXStar", "Ocean_Star"};
        QTest::newRow("full-width percent is a character") << "100％"
                                                           << "" << QStringList{"100% Marine"};
        QTest::newRow("full-width underscore is a character") << "n＿St"
                                                              << "" << QStringList{"Ocean_Star"};
        QTest::newRow("ascii case") << "cosco"
                                    << "" << QStringList{"COSCO Shipping"};
        QTest::newRow("full-width latin") << "ＣＯＳＣＯ"
                                          << "" << QStringList{"COSCO Shipping"};
        QTest::newRow("full-width lower") << "ｃｏｓｃｏ ｓｈｉｐ"
                                          << "" << QStringList{"COSCO Shipping"};
        QTest::newRow("full-width digits") << "１０００"
                                           << "" << QStringList{"1000 Marine"};
        QTest::newRow("greek case") << "ναυτιλιακή"
                                    << "" << QStringList{"ΝΑΥΤΙΛΙΑΚΉ Αθηνών"};
        QTest::newRow("cyrillic case") << "морское"
                                       << "" << QStringList{"МОРСКОЕ ПАРОХОДСТВО"};
        QTest::newRow("accented latin case") << "SOCIÉTÉ"
                                             << "" << QStringList{"Société Maritime"};
        QTest::newRow("country") << ""
                                 << "希腊" << QStringList{"ΝΑΥΤΙΛΙΑΚΉ Αθηνών", "Oneil Lines"};
        QTest::newRow("name and country") << "o"
                                          << "希腊" << QStringList{"Oneil Lines"};
    }
    void filterFinds() {
        QFETCH(QString, name);
        QFETCH(QString, country);
        QFETCH(QStringList, found);
        const QStringList names = {"O'Neil Shipping",   "Oneil Lines",         "100% Marine",
                                   "1000 Marine",       "Ocean_Star",          "OceanXStar",
                                   "ΝΑΥΤΙΛΙΑΚΉ Αθηνών", "МОРСКОЕ ПАРОХОДСТВО", "Société Maritime",
                                   "COSCO Shipping"};
        for (int i = 0; i < names.size(); ++i) {
            const bool greek = i == 1 || i == 6;
            db_->insert(Shipowner(i + 1, names[i], greek ? "希腊" : "中国"));
        }
        frmquery& w = OpenWindow();
        Search(w, name, country);
        QCOMPARE(ColumnTexts(*w.Grid, 1), found);
    }

    // A value of megabytes is listed whole but shown cut: no cell lays out more than a
    // line can show.
    void hugeValueIsListedWholeAndShownCut() {
        const QString huge(5'000'000, QLatin1Char('w'));
        db_->insert(Shipowner(1, huge, "中国", "+86 1", huge));
        frmquery& w = OpenWindow();
        Search(w, "", "");
        QCOMPARE(w.Grid->Rows(), 2);
        QCOMPARE(w.Grid->TextMatrix(1, 1), huge);
        QCOMPARE(w.Grid->TextMatrix(1, 4), huge);
        QTableView* view = GridView(*w.Grid);
        const QString shown = view->model()->index(0, 1).data().toString();
        QVERIFY(shown.size() < 2000);
        QVERIFY(huge.startsWith(shown.chopped(1)));
        QCOMPARE(testsupport::AccessibleCell(view, 0, 1), huge);
        // Fitted to what the cell shows.
        QVERIFY(view->horizontalHeader()->sectionSize(1) >=
                QFontMetrics(view->font()).horizontalAdvance(shown));
        QVERIFY(view->horizontalHeader()->sectionSize(1) < 100000);
    }

    void searchListsHighestIdFirst() {
        db_->insert(Shipowner(1, "  Spaced Lines  ", "  希腊 ", "+30 1", "Piraeus"));
        db_->insert(Shipowner(2, "No Country Shipping", QVariant(), "+86 2", "上海"));
        db_->insert(Shipowner(3, "中远海运", "中国", "+86 3", "北京"));
        frmquery& w = OpenWindow();
        Search(w, "", "");
        QCOMPARE(w.Grid->Rows(), 4);
        QCOMPARE(ColumnTexts(*w.Grid, 0), (QStringList{"1", "2", "3"}));
        QCOMPARE(ColumnTexts(*w.Grid, 1),
                 (QStringList{"中远海运", "No Country Shipping", "Spaced Lines"}));
        QCOMPARE(ColumnTexts(*w.Grid, 2), (QStringList{"中国", "", "希腊"}));
        QCOMPARE(ColumnTexts(*w.Grid, 3), (QStringList{"+86 3", "+86 2", "+30 1"}));
        QCOMPARE(ColumnTexts(*w.Grid, 4), (QStringList{"北京", "上海", "Piraeus"}));
        QCOMPARE(ColumnTexts(*w.Grid, 5), (QStringList{"3", "2", "1"}));
        QCOMPARE(ColumnTexts(*w.Grid, 6), (QStringList{"", "", ""}));
        QHeaderView* header = GridView(*w.Grid)->horizontalHeader();
        QVERIFY(header->isSectionHidden(5));
        QVERIFY(GridView(*w.Grid)->isVisible());
        QCOMPARE(GridView(*w.Grid)->model()->rowCount(), 3);

        // A screen reader reads every listed cell as the grid shows it.
        QTableView* view = GridView(*w.Grid);
        for (int row = 0; row < 3; ++row) {
            for (int column : {0, 1, 2, 3, 4})
                QCOMPARE(testsupport::AccessibleCell(view, row, column),
                         w.Grid->TextMatrix(row + 1, column));
        }

        // The next search counts from 1 again.
        Search(w, "spaced", "");
        QCOMPARE(ColumnTexts(*w.Grid, 0), QStringList{"1"});
        QCOMPARE(ColumnTexts(*w.Grid, 5), QStringList{"1"});
        QCOMPARE(testsupport::AccessibleCell(view, 0, 1), QStringLiteral("Spaced Lines"));

        // No match: the header row only, the columns fitted to the header texts.
        Search(w, "nothing like this", "");
        QCOMPARE(w.Grid->Rows(), 1);
        QCOMPARE(GridView(*w.Grid)->model()->rowCount(), 0);
        QCOMPARE(header->sectionSize(6), header->minimumSectionSize());
        QVERIFY(header->sectionSize(4) < ui::Tw(2400));
    }

    void enterInAFilterBoxRunsOneSearch_data() {
        QTest::addColumn<bool>("inCountryBox");
        QTest::addColumn<int>("key");
        QTest::newRow("Text1, Return") << false << int(Qt::Key_Return);
        QTest::newRow("Text2, Return") << true << int(Qt::Key_Return);
        QTest::newRow("Text1, keypad Enter") << false << int(Qt::Key_Enter);
    }
    void enterInAFilterBoxRunsOneSearch() {
        QFETCH(bool, inCountryBox);
        QFETCH(int, key);
        db_->insert(Shipowner(1, "Alpha", "中国"));
        db_->insert(Shipowner(2, "Beta", "中国"));
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        w.Text1->setText(QStringLiteral("alp"));
        w.Text2->setText(QStringLiteral("中国"));
        QLineEdit* box = inCountryBox ? w.Text2 : w.Text1;
        QSignalSpy boxSawTheKey(box, &QLineEdit::returnPressed);
        QTest::keyClick(box, Qt::Key(key));
        QCOMPARE(log.opened.size(), std::size_t(1));
        QVERIFY(log.opened[0].statement.contains(QStringLiteral("'%alp%'")));
        QVERIFY(log.opened[0].statement.contains(QStringLiteral("'%中国%'")));
        QCOMPARE(ColumnTexts(*w.Grid, 1), QStringList{"Alpha"});
        QCOMPARE(boxSawTheKey.count(), 1); // the key press went on to the box
    }

    void stopWithNoSearchRunningChangesNothing() {
        db_->insert(Shipowner(1, "Alpha", "中国"));
        db_->insert(Shipowner(2, "Beta", "希腊"));
        frmquery& w = OpenWindow();
        Search(w, "", "");
        const QStringList names = ColumnTexts(*w.Grid, 1);
        const QList<int> widths = ColumnWidths(*w.Grid);
        QTest::mouseClick(w.CmdStop, Qt::LeftButton);
        QCOMPARE(ColumnTexts(*w.Grid, 1), names);
        QCOMPARE(ColumnWidths(*w.Grid), widths);
        // The next search is not stopped by the earlier click.
        Search(w, "", "");
        QCOMPARE(ColumnTexts(*w.Grid, 1), names);
    }

    void statementTheEngineRejectsLeavesTheHeaderRow() {
        db_->insert(Shipowner(1, "Alpha", "中国", "+86 1", "上海"));
        frmquery& w = OpenWindow();
        Search(w, "", "");
        QCOMPARE(w.Grid->Rows(), 2);
        // A table without the telephone column: the search statement cannot be run.
        db_->exec(QStringLiteral("DROP TABLE Thalvane; CREATE TABLE Thalvane (id INTEGER "
                                 "PRIMARY KEY, 船东 TEXT, 国家 TEXT, 地址 TEXT)"));
        Search(w, "", "");
        QCOMPARE(w.Grid->Rows(), 1);
        QHeaderView* header = GridView(*w.Grid)->horizontalHeader();
        QCOMPARE(header->sectionSize(6), header->minimumSectionSize());
        QVERIFY(w.Grid->isVisible());
    }

    void fieldThatCannotBeReadLeavesOnlyItsCellEmpty_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("column");
        QTest::newRow("name") << "船东" << 1;
        QTest::newRow("country") << "国家" << 2;
        QTest::newRow("telephone") << "电话" << 3;
        QTest::newRow("address") << "地址" << 4;
        QTest::newRow("id") << "id" << 5;
    }
    void fieldThatCannotBeReadLeavesOnlyItsCellEmpty() {
        QFETCH(QString, field);
        QFETCH(int, column);
        const QList<QVariantMap> rows = {Shipowner(8, "Alpha", "中国", "+86 8", "上海"),
                                         Shipowner(7, "Beta", "希腊", "+30 7", "Piraeus")};
        frmquery& w = OpenWindow();
        bool closed = false;
        w.SetRecordsetOpener([&](const QString&) {
            auto rs = std::make_unique<FakeRecordset>(rows, std::set<QString>{field});
            rs->closedFlag = &closed;
            return rs;
        });
        w.RunQuery();
        QCOMPARE(w.Grid->Rows(), 3);
        QCOMPARE(ColumnTexts(*w.Grid, 0), (QStringList{"1", "2"}));
        const QStringList expected[] = {
            {},        {"Alpha", "Beta"}, {"中国", "希腊"}, {"+86 8", "+30 7"}, {"上海", "Piraeus"},
            {"8", "7"}};
        for (int c = 1; c <= 5; ++c)
            QCOMPARE(ColumnTexts(*w.Grid, c), (c == column ? QStringList{"", ""} : expected[c]));
        QVERIFY(closed);
    }

    // A result set that cannot move to its next record ends the list instead of listing
    // the same record again and again.
    void resultSetThatCannotMoveOnEndsTheList() {
        frmquery& w = OpenWindow();
        bool closed = false;
        w.SetRecordsetOpener([&](const QString&) {
            auto rs = std::make_unique<FakeRecordset>(
                QList<QVariantMap>{Shipowner(2, "Alpha"), Shipowner(1, "Beta")},
                std::set<QString>{}, true);
            rs->closedFlag = &closed;
            return rs;
        });
        w.RunQuery();
        QCOMPARE(ColumnTexts(*w.Grid, 1), QStringList{"Alpha"});
        QVERIFY(closed);
        // ...and says that the list may be incomplete.
        QCOMPARE(testsupport::Texts(boxes_), QStringList{kIncomplete});
        boxes_.clear();
    }

    // A file with a damaged page: the search lists the rows it can read, keeps them, and
    // then says once that the list may be incomplete. A whole file says nothing.
    void damagedFileListsWhatItCanAndSaysSo_data() {
        QTest::addColumn<QString>("page"); // the page with a flipped bit
        QTest::newRow("none") << "";
        QTest::newRow("a leaf of the table") << "leaf";
        QTest::newRow("the table's root, an interior page") << "root";
    }
    void damagedFileListsWhatItCanAndSaysSo() {
        QFETCH(QString, page);
        constexpr int kRows = 600;
        modGeneral::ResetConnection();
        db_ = std::make_unique<testsupport::TestDatabase>(kRows);
        db_->close();
        QFile file(db_->path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 1024;
        QVERIFY2(pages > 20, "a table of several levels");
        // The table is the first one made: its root is page 2. Its rows fill the pages
        // after, in id order; the search lists the highest ids first.
        const qint64 damaged = page == "root" ? 2 : page == "leaf" ? pages / 2 : 0;
        if (damaged > 0)
            QVERIFY(testsupport::FlipBit(file, (damaged - 1) * 1024 + 200));
        file.close();
        Connect(*db_);

        frmquery& w = OpenWindow();
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);
        const int listed = w.Grid->Rows() - 1;
        if (page.isEmpty()) {
            QCOMPARE(listed, kRows);
            QVERIFY(boxes_.empty());
            return;
        }
        QVERIFY2(listed < kRows, qPrintable(QString::number(listed)));
        if (page == "leaf") {
            QVERIFY2(listed > 0, "the rows before the damaged page are listed");
            QCOMPARE(w.Grid->TextMatrix(1, 5), QString::number(kRows));
            QCOMPARE(w.Grid->TextMatrix(listed, 0), QString::number(listed));
        }
        QCOMPARE(testsupport::Texts(boxes_), QStringList{kIncomplete});
        QCOMPARE(boxes_[0].title, std::string("数据处理"));
        boxes_.clear();
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
