// The result grid's operations and the column fitting, on a grid of its own.

#include "data/sqlcipher/sqlcipherbackend.h"
#include "search/FitGridColumns.h"
#include "search/FlexGrid.h"
#include "searchfixture.h"
#include "ui/fonts.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

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
