// What happens while a search fills the grid: Stop, a second search, closing the
// window, a delete in the record window and the end of the program, each arriving as
// the fill runs the event loop before a row; and a search of more than 32767 rows.

#include "data/sharedconnection.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "platform/msgbox.h"
#include "record/frminfo.h"
#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "searchfixture.h"
#include "support/msgboxes.h"
#include "testdb.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/program.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <optional>

using namespace searchtest;

namespace {

constexpr int kRows = 30; // synthetic shipowners, ids 1 to 30

// Runs `action` from the event loop, as an event that arrives while the fill yields.
template <class Action> void Queue(Action action) {
    QMetaObject::invokeMethod(qApp, action, Qt::QueuedConnection);
}

QStringList Numbers(int from, int to, int step) {
    QStringList numbers;
    for (int n = from; step > 0 ? n <= to : n >= to; n += step)
        numbers << QString::number(n);
    return numbers;
}

} // namespace

class TestSearchDuringFill : public QObject {
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
        db_ = std::make_unique<testsupport::TestDatabase>(kRows);
        Connect(*db_);
        recorder_.emplace(boxes_, platform::vbYes);
    }

    void cleanup() {
        forms::DestroyAll();
        recorder_.reset();
        const QStringList boxes = testsupport::Texts(boxes_);
        boxes_.clear();
        ui::SetEndProgramHook({});
        modGeneral::ResetConnection();
        db_.reset();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('|'))));
    }

    // A Stop click that arrives while row k is about to be listed: row k is still
    // completed, no further row is listed, the result set is closed, the columns fitted.
    void stopDuringTheFill_data() {
        QTest::addColumn<int>("stopAtRow");
        QTest::newRow("first row") << 1;
        QTest::newRow("seventh row") << 7;
    }
    void stopDuringTheFill() {
        QFETCH(int, stopAtRow);
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        log.beforeEofTest = [&](int, int test) {
            if (test == stopAtRow)
                PostClick(w.CmdStop);
        };
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);

        QCOMPARE(w.Grid->Rows(), stopAtRow + 1);
        QCOMPARE(ColumnTexts(*w.Grid, 0), Numbers(1, stopAtRow, 1));
        QCOMPARE(ColumnTexts(*w.Grid, 5), Numbers(kRows, kRows - stopAtRow + 1, -1));
        QVERIFY(!w.Grid->TextMatrix(stopAtRow, 1).isEmpty()); // the row was completed
        QCOMPARE(log.opened.size(), std::size_t(1));
        QCOMPARE(log.opened[0].valueReads, 5 * stopAtRow);
        // The end of data is tested before the flag, also on the test that stops.
        QCOMPARE(log.opened[0].eofTests, stopAtRow + 1);
        QVERIFY(log.opened[0].closed);
        QCOMPARE(log.opened[0].callsAfterClose, 0);
        QHeaderView* header = GridView(*w.Grid)->horizontalHeader();
        QCOMPARE(header->sectionSize(6), header->minimumSectionSize()); // fitted
        QVERIFY(w.Grid->isVisible());
        QVERIFY(w.StopRequested);
    }

    // Search or Enter while a search fills the grid: the later search wins, the earlier
    // one writes no further cell and closes its result set.
    void laterSearchWins_data() {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("Search clicked") << false;
        QTest::newRow("Enter in Text1") << true;
    }
    void laterSearchWins() {
        QFETCH(bool, byEnter);
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        constexpr int kSecondSearchAtRow = 5;
        log.beforeEofTest = [&](int set, int test) {
            if (set != 0 || test != kSecondSearchAtRow)
                return;
            w.Text1->setText(QStringLiteral("Shipping 00001")); // ids 10 to 19
            if (byEnter) {
                QCoreApplication::postEvent(w.Text1,
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Return,
                                                          Qt::NoModifier, QStringLiteral("\r")));
            } else {
                PostClick(w.CmdQuery);
            }
        };
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);

        QCOMPARE(log.opened.size(), std::size_t(2));
        QCOMPARE(ColumnTexts(*w.Grid, 0), Numbers(1, 10, 1));
        QCOMPARE(ColumnTexts(*w.Grid, 5), Numbers(19, 10, -1));
        for (const ResultSetUse& use : log.opened) {
            QVERIFY(use.closed);
            QCOMPARE(use.callsAfterClose, 0);
        }
        // The first search read the four rows before the switch, and nothing after; it let
        // go of its result set before the second one was opened.
        QCOMPARE(log.opened[0].valueReads, 5 * (kSecondSearchAtRow - 1));
        QCOMPARE(log.opened[1].othersOpen, 0);
    }

    void closingDuringTheFill() {
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        bool closedWithTheWindow = false;
        log.beforeEofTest = [&](int, int test) {
            if (test != 5)
                return;
            QMetaObject::invokeMethod(&w, &QWidget::close, Qt::QueuedConnection);
            QMetaObject::invokeMethod(
                &w, [&] { closedWithTheWindow = log.opened[0].closed; }, Qt::QueuedConnection);
        };
        w.Text2->setText(QStringLiteral("  "));
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);
        QVERIFY(closedWithTheWindow); // at once, not when the fill got its turn again

        QVERIFY(!w.IsLoaded());
        QVERIFY(!w.isVisible());
        QCOMPARE(log.opened.size(), std::size_t(1));
        QVERIFY(log.opened[0].closed);
        QCOMPARE(log.opened[0].callsAfterClose, 0);
        QCOMPARE(log.opened[0].valueReads, 5 * 4);

        w.Show();
        QCOMPARE(w.Text1->text(), QString());
        QCOMPARE(w.Text2->text(), QString());
        QCOMPARE(w.Grid->Rows(), 1);
        QCOMPARE(GridView(*w.Grid)->model()->rowCount(), 0);
        QCOMPARE(ColumnWidths(*w.Grid), InitialColumnWidths());
    }

    // The search lists the rows as they were when its result set was opened.
    void deleteInTheRecordWindowDuringTheFill() {
        constexpr qint32 kDeleted = 25; // listed in row 6
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        log.beforeEofTest = [&](int, int test) {
            if (test != 3)
                return;
            Queue([] {
                frminfo& info = forms::Get<frminfo>();
                info.shipId = kDeleted;
                info.Show();
                QTest::mouseClick(info.SmartNetXpButton1, Qt::LeftButton);
            });
        };
        const QString name = db_->row(kDeleted)->value(QStringLiteral("船东")).toString();
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);

        // The record window's question, and no other box.
        QCOMPARE(testsupport::Texts(boxes_), QStringList{QStringLiteral("是否要删除当前信息？")});
        boxes_.clear();
        QVERIFY(!db_->row(kDeleted));
        QCOMPARE(w.Grid->Rows(), kRows + 1);
        QCOMPARE(w.Grid->TextMatrix(6, 5), QString::number(kDeleted));
        QCOMPARE(w.Grid->TextMatrix(6, 1), name);
        QVERIFY(log.opened[0].closed);
    }

    void programEndingStopsTheFill() {
        int ends = 0;
        ui::SetEndProgramHook([&](int) { ++ends; });
        frmquery& w = OpenWindow();
        ResultSetLog log(w);
        log.beforeEofTest = [&](int, int test) {
            if (test == 4)
                Queue([] { ui::EndProgram(0); });
        };
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);
        QCOMPARE(ends, 1);
        QCOMPARE(w.Grid->Rows(), 4); // nothing written after the end began
        QVERIFY(log.opened[0].closed);
        QCOMPARE(log.opened[0].callsAfterClose, 0);
    }

    // The row counter does not stop at 32767: every result has a row of its own.
    void moreThan32767Results() {
        constexpr int kMany = 32800;
        db_->insertSynthetic(kMany - kRows); // ids 31 to 32800
        // Shown without the model tester, which walks every row at every batch.
        frmquery& w = forms::Get<frmquery>();
        w.Show();
        w.RunQuery();
        QCOMPARE(w.Grid->Rows(), kMany + 1);
        for (const int row : {32767, 32768, kMany}) {
            QCOMPARE(w.Grid->TextMatrix(row, 0), QString::number(row));
            QCOMPARE(w.Grid->TextMatrix(row, 5), QString::number(kMany - row + 1));
        }
    }
};

QTEST_MAIN(TestSearchDuringFill)
#include "tst_searchduringfill.moc"
