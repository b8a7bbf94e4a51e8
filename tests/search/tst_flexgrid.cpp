// The result grid's operations and the column fitting, on a grid of its own.

#include "data/sqlcipher/sqlcipherbackend.h"
#include "search/FitGridColumns.h"
#include "search/FlexGrid.h"
#include "searchfixture.h"
#include "ui/fonts.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>
#include <functional>

using searchtest::GridView;

namespace {

FlexGrid* MakeGrid(QWidget& window) {
    auto* grid = new FlexGrid(&window);
    grid->InitialSettings({{QStringLiteral("序号"), 765, false},
                           {QStringLiteral("名称"), 1380, false},
                           {QStringLiteral("id"), 900, true},
                           {QString(), 900, false}},
                          ui::UiFont(QStringLiteral("宋体"), 9));
    searchtest::WatchModel(*grid);
    grid->setGeometry(0, 0, 600, 300);
    window.resize(600, 300);
    window.show();
    return grid;
}

void AppendRow(FlexGrid& grid, const QString& text) {
    grid.SetRows(grid.Rows() + 1);
    grid.SetTextMatrix(grid.Rows() - 1, 1, text);
}

// The grid keeps its rows in blocks of this many.
constexpr int kBlockRows = 4096;

// The text a fill writes in a cell of result row `row`; column 3 is left empty.
QString Written(const QString& search, int row, int column) {
    switch (column) {
    case 0:
        return QString::number(row);
    case 1:
        return QStringLiteral("%1 合成船东 %2 Synthetic Shipping").arg(search).arg(row);
    case 2:
        return QStringLiteral("%1-%2").arg(search).arg(row * 7);
    default:
        return QString();
    }
}

void Fill(FlexGrid& grid, const QString& search, int rows) {
    for (int row = 1; row <= rows; ++row) {
        grid.SetRows(grid.Rows() + 1);
        for (int column = 0; column < 3; ++column)
            grid.SetTextMatrix(row, column, Written(search, row, column));
    }
}

// The first cell from `first` to `last` (grid rows) whose text is not what the fill of
// `search` wrote, or an empty string when there is none; `expected` may override cells.
QString FirstWrongCell(FlexGrid& grid, const QString& search, int first, int last,
                       const std::function<QString(int, int)>& expected = {}) {
    for (int row = first; row <= last; ++row)
        for (int column = 0; column < grid.Cols(); ++column) {
            const QString want = expected ? expected(row, column) : Written(search, row, column);
            const QString got = grid.TextMatrix(row, column);
            if (got != want)
                return QStringLiteral("row %1 column %2: \"%3\", expected \"%4\"")
                    .arg(row)
                    .arg(column)
                    .arg(got.left(80), want.left(80));
        }
    return QString();
}

// Lets the event loop run until the grid has surely freed the rows it dropped, one block
// a pass.
void RunEventLoopAWhile() {
    for (int pass = 0; pass < 200; ++pass)
        QCoreApplication::processEvents();
}

// Counts the times a widget is hidden and shown again.
class VisibilityCounter : public QObject {
public:
    int hides = 0;
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            ++hides;
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        data::RegisterEmbeddedEngine();
        ui::InstallFontFallbacks();
    }

    void rowCountRemovesOrAppends() {
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        QCOMPARE(grid.Rows(), 1);
        QCOMPARE(grid.Cols(), 4);
        QCOMPARE(grid.TextMatrix(0, 1), QStringLiteral("名称"));

        grid.SetRows(2);
        grid.SetTextMatrix(1, 0, QStringLiteral("1"));
        grid.SetRows(grid.Rows() + 1);
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(grid.TextMatrix(2, 0), QString()); // appended empty

        grid.SetRows(1);
        QCOMPARE(grid.Rows(), 1);
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("序号")); // the header stays
        grid.SetRows(2);
        QCOMPARE(grid.TextMatrix(1, 0), QString()); // no text comes back
        grid.show();
        QCOMPARE(GridView(grid)->model()->rowCount(), 1);
    }

    // Rows appear in the view while the event loop runs, without the grid being shown
    // again, and all of them once it is.
    void viewLearnsOfRowsAsTheEventLoopRuns() {
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        for (int i = 0; i < 50; ++i)
            AppendRow(grid, QString::number(i));
        QTRY_COMPARE(GridView(grid)->model()->rowCount(), 50);
        AppendRow(grid, QStringLiteral("last"));
        grid.hide();
        grid.show();
        QCOMPARE(GridView(grid)->model()->rowCount(), 51);
        QCOMPARE(GridView(grid)->model()->index(50, 1).data().toString(), QStringLiteral("last"));
    }

    // Rows that land below the bottom of the grid only move the scroll bar: the view
    // hears of them far less often than of rows it shows, but hears of every one.
    void rowsBelowTheScreenReachTheViewLessOften() {
        QWidget window;
        FlexGrid& grid = *MakeGrid(window); // 300 pixels high: about 20 rows
        QAbstractItemModel* model = GridView(grid)->model();
        for (int i = 0; i < 40; ++i)
            AppendRow(grid, QString::number(i));
        QTRY_COMPARE(model->rowCount(), 40);

        QElapsedTimer sinceAppended;
        qint64 heardAfterMs = -1;
        connect(model, &QAbstractItemModel::rowsInserted, &window,
                [&] { heardAfterMs = sinceAppended.elapsed(); });
        sinceAppended.start();
        for (int i = 40; i < 1000; ++i)
            AppendRow(grid, QString::number(i));
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 1000, 5000);
        // Well above a display frame, below the tenth of a second the view waits.
        QVERIFY2(heardAfterMs >= 50, qPrintable(QString::number(heardAfterMs)));
        QCOMPARE(model->index(999, 1).data().toString(), QStringLiteral("999"));
    }

    // With few rows Qt's own fitting sees every row: the grid's fitting must agree with
    // it for texts of every kind.
    void fitMatchesTheViewsOwnMeasure_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("latin") << "Synthetic Shipping Co., Ltd.";
        QTest::newRow("chinese") << "中远海运集装箱运输有限公司";
        QTest::newRow("mixed") << "合成船东000123 Synthetic Shipping 000123";
        QTest::newRow("greek") << "Ναυτιλιακή Εταιρεία";
        QTest::newRow("cyrillic") << "Морское пароходство";
        QTest::newRow("combining accent") << "Societe\u0301 Mari\u0301time";
        QTest::newRow("full width") << "ＣＯＳＣＯ １２３";
        QTest::newRow("surrogates") << "船东 \U0001F6A2 Ship";
        QTest::newRow("short under header") << "1";
    }
    void fitMatchesTheViewsOwnMeasure() {
        QFETCH(QString, text);
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        AppendRow(grid, QStringLiteral("x"));
        AppendRow(grid, text);
        grid.show();
        grid.AutoSize(1);
        const int fitted = GridView(grid)->horizontalHeader()->sectionSize(1);
        GridView(grid)->resizeColumnToContents(1);
        QCOMPARE(fitted, GridView(grid)->horizontalHeader()->sectionSize(1));
    }

    // Qt's header measures only a sample of the rows; the grid counts all of them.
    void fitCountsEveryRow() {
        const QString wide = QStringLiteral("合成船东 with a much longer name than the others");
        QWidget window;
        FlexGrid& small = *MakeGrid(window);
        AppendRow(small, wide);
        small.AutoSize(1);
        const int expected = GridView(small)->horizontalHeader()->sectionSize(1);

        FlexGrid& grid = *MakeGrid(window);
        for (int i = 0; i < 5000; ++i)
            AppendRow(grid, i == 4321 ? wide : QStringLiteral("合成船东"));
        grid.show();
        grid.AutoSize(1);
        QCOMPARE(GridView(grid)->horizontalHeader()->sectionSize(1), expected);
    }

    void fitNarrowsWhenTheWidestTextIsReplaced() {
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        AppendRow(grid, QStringLiteral("a rather long text for this column"));
        AppendRow(grid, QStringLiteral("short"));
        grid.AutoSize(1);
        const int wide = GridView(grid)->horizontalHeader()->sectionSize(1);
        grid.SetTextMatrix(1, 1, QStringLiteral("tiny"));
        grid.AutoSize(1);
        QVERIFY(GridView(grid)->horizontalHeader()->sectionSize(1) < wide);
    }

    void fittingHidesOnceFitsEveryColumnAndShowsAgain() {
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        AppendRow(grid, QStringLiteral("合成船东000001 Synthetic Shipping 000001"));
        grid.SetTextMatrix(1, 0, QStringLiteral("1"));
        grid.SetTextMatrix(1, 2, QStringLiteral("123"));
        QTableView* view = GridView(grid);
        QHeaderView* header = view->horizontalHeader();
        const int nameWidthBefore = header->sectionSize(1);

        VisibilityCounter counter;
        grid.installEventFilter(&counter);
        modGeneral::FitGridColumns(grid);
        QCOMPARE(counter.hides, 1);
        QCOMPARE(counter.shows, 1);
        QVERIFY(grid.isVisible());

        QVERIFY(header->sectionSize(1) > nameWidthBefore);
        QVERIFY(header->isSectionHidden(2));                            // fitted, still hidden
        QCOMPARE(header->sectionSize(3), header->minimumSectionSize()); // empty column
        QVERIFY(header->sectionSize(0) < 765 / 15);                     // narrowed to "序号"
    }

    // A freshly made grid fits its first search as it fits the same rows searched again:
    // the new cell font of the initial settings leaves nothing measured wrongly.
    void firstSearchFitsAsARepeatSearch_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::newRow("latin") << QStringLiteral("Synthetic Shipping Co. %1") << 300;
        QTest::newRow("chinese") << QStringLiteral("合成船东航运有限公司%1") << 300;
        QTest::newRow("longer than a cell shows")
            << QString(1500, u'W') + QStringLiteral("%1") << 20;
        QTest::newRow("more than a block") << QStringLiteral("船东 %1") << kBlockRows + 50;
    }
    void firstSearchFitsAsARepeatSearch() {
        QFETCH(QString, name);
        QFETCH(int, rows);
        const auto search = [&](FlexGrid& grid) {
            grid.SetRows(1);
            for (int row = 1; row <= rows; ++row) {
                grid.SetRows(grid.Rows() + 1);
                grid.SetTextMatrix(row, 0, QString::number(row));
                grid.SetTextMatrix(row, 1, name.arg(row));
                grid.SetTextMatrix(row, 2, QString::number(row * 1000));
            }
            modGeneral::FitGridColumns(grid);
            return searchtest::ColumnWidths(grid);
        };
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        const QList<int> first = search(grid);
        QVERIFY(first != searchtest::ColumnWidths(*MakeGrid(window))); // it did fit
        QCOMPARE(search(grid), first);
    }

    // A new search right after a large one, before the event loop has freed any of the
    // old rows: only the new texts are read, then and once the old rows are freed.
    void newSearchBeforeTheOldRowsAreFreed_data() {
        QTest::addColumn<int>("oldRows");
        QTest::addColumn<int>("newRows");
        QTest::newRow("fewer") << 3 * kBlockRows + 5 << kBlockRows + 1;
        QTest::newRow("as many") << 3 * kBlockRows + 5 << 3 * kBlockRows + 5;
        QTest::newRow("more") << 3 * kBlockRows + 5 << 5 * kBlockRows;
    }
    void newSearchBeforeTheOldRowsAreFreed() {
        QFETCH(int, oldRows);
        QFETCH(int, newRows);
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        Fill(grid, QStringLiteral("old"), oldRows);
        for (int row = 1; row <= oldRows; ++row) // a cell the new search leaves empty
            grid.SetTextMatrix(row, 3, QStringLiteral("old only"));
        grid.show();
        QCOMPARE(GridView(grid)->model()->rowCount(), oldRows);

        grid.SetRows(1);
        QCOMPARE(grid.Rows(), 1);
        Fill(grid, QStringLiteral("new"), newRows);
        QCOMPARE(grid.Rows(), newRows + 1);
        QCOMPARE(FirstWrongCell(grid, QStringLiteral("new"), 1, newRows), QString());
        QCOMPARE(grid.TextMatrix(newRows + 1, 1), QString()); // past the rows

        RunEventLoopAWhile();
        QCOMPARE(grid.Rows(), newRows + 1);
        QCOMPARE(FirstWrongCell(grid, QStringLiteral("new"), 1, newRows), QString());
        QAbstractItemModel* model = GridView(grid)->model();
        QCOMPARE(model->rowCount(), newRows);
        QCOMPARE(model->index(newRows - 1, 1).data().toString(),
                 Written(QStringLiteral("new"), newRows, 1));
    }

    // Rows dropped by a smaller row count come back empty when rows are appended again,
    // whether the count falls inside the last block, on a block's edge or in an earlier
    // block; the rows kept keep their texts, and fitting no longer counts the dropped ones.
    void shrinkingAndGrowingAgain_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("kept");
        QTest::newRow("inside the last block") << kBlockRows + 1 << kBlockRows - 1;
        QTest::newRow("to the end of a block") << kBlockRows + 1 << kBlockRows;
        QTest::newRow("one row into a block") << 2 * kBlockRows + 3 << kBlockRows + 1;
        QTest::newRow("into an earlier block") << 3 * kBlockRows << 10;
        QTest::newRow("one row") << kBlockRows << 1;
    }
    void shrinkingAndGrowingAgain() {
        QFETCH(int, rows);
        QFETCH(int, kept);
        const QString wide = QStringLiteral("a dropped row with a much wider text than any kept");
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        Fill(grid, QStringLiteral("s"), rows);
        for (int row = kept + 1; row <= rows; row += 997)
            grid.SetTextMatrix(row, 1, wide);
        grid.show();

        grid.SetRows(kept + 1);
        QCOMPARE(grid.Rows(), kept + 1);
        QCOMPARE(GridView(grid)->model()->rowCount(), kept);
        grid.SetRows(rows + 1);
        const auto keptOrEmpty = [&](int row, int column) {
            return row <= kept ? Written(QStringLiteral("s"), row, column) : QString();
        };
        QCOMPARE(FirstWrongCell(grid, QString(), 1, rows, keptOrEmpty), QString());
        grid.hide();
        grid.show();
        QCOMPARE(GridView(grid)->model()->index(rows - 1, 1).data().toString(), QString());

        FlexGrid& reference = *MakeGrid(window);
        Fill(reference, QStringLiteral("s"), kept);
        modGeneral::FitGridColumns(reference);
        modGeneral::FitGridColumns(grid);
        QCOMPARE(searchtest::ColumnWidths(grid), searchtest::ColumnWidths(reference));
    }

    // One cell written over and over, far past the point where its block is packed anew:
    // every other cell keeps its text, the cell its last one, and fitting sees that the
    // widest text is gone.
    void overwritingOneCellManyTimes_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("last");
        QTest::newRow("first block") << 17 << QStringLiteral("tiny");
        QTest::newRow("second block") << kBlockRows + 3 << QStringLiteral("tiny");
        QTest::newRow("emptied at the end") << kBlockRows + 3 << QString();
    }
    void overwritingOneCellManyTimes() {
        QFETCH(int, row);
        QFETCH(QString, last);
        const int rows = 2 * kBlockRows;
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        Fill(grid, QStringLiteral("o"), rows);
        // About 400,000 characters left behind in the block: it is packed more than once.
        const QString widest = QStringLiteral("合成船东 the widest text the column ever held");
        for (int time = 0; time < 3000; ++time)
            grid.SetTextMatrix(row, 1,
                               time == 1500 ? widest : QString(130, QChar(u'a' + time % 26)));
        modGeneral::FitGridColumns(grid);
        QVERIFY(searchtest::ColumnWidths(grid).at(1) >=
                GridView(grid)->fontMetrics().horizontalAdvance(widest));
        grid.SetTextMatrix(row, 1, last);

        const auto expected = [&](int r, int column) {
            return r == row && column == 1 ? last : Written(QStringLiteral("o"), r, column);
        };
        QCOMPARE(FirstWrongCell(grid, QString(), 1, rows, expected), QString());
        FlexGrid& reference = *MakeGrid(window);
        Fill(reference, QStringLiteral("o"), rows);
        reference.SetTextMatrix(row, 1, last);
        modGeneral::FitGridColumns(reference);
        modGeneral::FitGridColumns(grid);
        QCOMPARE(searchtest::ColumnWidths(grid), searchtest::ColumnWidths(reference));
    }

    // A cell shows at most 1,000 characters; a screen reader and the grid's own text give
    // the whole of it.
    void longTextShownCutReadWhole_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("as long as is shown") << 1000;
        QTest::newRow("one more") << 1001;
        QTest::newRow("200,000 characters") << 200000;
    }
    void longTextShownCutReadWhole() {
        QFETCH(int, length);
        QString text;
        for (int i = 0; text.size() < length; ++i)
            text += QStringLiteral("船%1 ").arg(i);
        text.truncate(length);
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        Fill(grid, QStringLiteral("l"), 3);
        grid.SetTextMatrix(2, 1, text);
        grid.show();

        QCOMPARE(grid.TextMatrix(2, 1), text);
        const QModelIndex cell = GridView(grid)->model()->index(1, 1);
        QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), text);
        const QString shown = cell.data(Qt::DisplayRole).toString();
        QCOMPARE(shown, length > 1000 ? text.left(1000) + QChar(0x2026) : text);
        QCOMPARE(FirstWrongCell(grid, QStringLiteral("l"), 1, 3,
                                [&](int r, int column) {
                                    return r == 2 && column == 1
                                               ? text
                                               : Written(QStringLiteral("l"), r, column);
                                }),
                 QString());
    }

    void currentRowAndDoubleClick() {
        QWidget window;
        FlexGrid& grid = *MakeGrid(window);
        QSignalSpy doubleClicks(&grid, &FlexGrid::DblClick);
        QCOMPARE(grid.Row(), -1);
        for (int i = 1; i <= 3; ++i)
            AppendRow(grid, QStringLiteral("row %1").arg(i));
        grid.show();
        QTableView* view = GridView(grid);
        const QRect second = view->visualRect(view->model()->index(1, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(grid.Row(), 2);
        searchtest::DoubleClick(view->viewport(), second.center());
        QCOMPARE(doubleClicks.count(), 1);

        // Below the last row and on the header: notified too, the current row unchanged.
        const QRect third = view->visualRect(view->model()->index(2, 1));
        searchtest::DoubleClick(view->viewport(), QPoint(third.center().x(), third.bottom() + 40));
        searchtest::DoubleClick(view->horizontalHeader()->viewport(), QPoint(10, 5));
        QCOMPARE(doubleClicks.count(), 3);
        QCOMPARE(grid.Row(), 2);
    }
};

QTEST_MAIN(TestFlexGrid)
#include "tst_flexgrid.moc"
