// A double-click in the result grid opens the shipowner of the row in the record window.

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

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <optional>

using namespace searchtest;

namespace {

bool RecordWindowShown() {
    for (Form* form : forms::Loaded()) {
        if (dynamic_cast<frminfo*>(form))
            return true;
    }
    return false;
}

QPoint CellCentre(FlexGrid& grid, int row, int column) {
    QTableView* view = GridView(grid);
    return view->visualRect(view->model()->index(row - 1, column)).center();
}

void DoubleClickRow(FlexGrid& grid, int row) {
    DoubleClick(GridView(grid)->viewport(), CellCentre(grid, row, 1));
}

QVariantMap Shipowner(qint32 id, const QString& name) {
    return {{QStringLiteral("id"), id},
            {QStringLiteral("船东"), name},
            {QStringLiteral("国家"), QStringLiteral("中国")}};
}

QString BoxText(frminfo& info, int box) {
    return static_cast<QLineEdit*>(info.Txt[box])->text();
}

} // namespace

class TestSearchOpenRecord : public QObject {
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
        db_->insert(Shipowner(5, QStringLiteral("Alpha Lines")));
        db_->insert(Shipowner(9, QStringLiteral("中远海运")));
        db_->insert(Shipowner(40000, QStringLiteral("Beyond Shipping")));
        Connect(*db_);
        recorder_.emplace(boxes_, platform::vbYes);
    }

    void cleanup() {
        forms::DestroyAll();
        recorder_.reset();
        boxes_.clear();
        modGeneral::ResetConnection();
        db_.reset();
    }

    void nothingWithoutResultRows_data() {
        QTest::addColumn<bool>("searchFirst");
        QTest::newRow("before any search") << false;
        QTest::newRow("search without results") << true;
    }
    void nothingWithoutResultRows() {
        QFETCH(bool, searchFirst);
        frmquery& w = OpenWindow();
        if (searchFirst) {
            w.Text1->setText(QStringLiteral("no such shipowner"));
            w.RunQuery();
        }
        QTableView* view = GridView(*w.Grid);
        DoubleClick(view->viewport(), QPoint(40, 10));
        DoubleClick(view->viewport(), view->viewport()->rect().center());
        QVERIFY(!RecordWindowShown());
        QVERIFY(testsupport::Texts(boxes_).isEmpty());
    }

    // Rows are listed highest id first: 40000, 9, 5.
    void doubleClickOpensTheRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("id above 32767") << 1 << 40000 << "Beyond Shipping";
        QTest::newRow("middle row") << 2 << 9 << "中远海运";
        QTest::newRow("last row") << 3 << 5 << "Alpha Lines";
    }
    void doubleClickOpensTheRow() {
        QFETCH(int, row);
        QFETCH(int, id);
        QFETCH(QString, name);
        frmquery& w = OpenWindow();
        w.Text2->setText(QStringLiteral("中国"));
        w.RunQuery();
        const QStringList listed = ColumnTexts(*w.Grid, 1);

        DoubleClickRow(*w.Grid, row);
        QVERIFY(RecordWindowShown());
        frminfo& info = forms::Get<frminfo>();
        QCOMPARE(info.shipId, id);
        QCOMPARE(BoxText(info, 0), name);
        // The search window stays as it was.
        QVERIFY(w.IsLoaded());
        QCOMPARE(ColumnTexts(*w.Grid, 1), listed);
        QCOMPARE(w.Grid->Row(), row);
        QCOMPARE(w.Text2->text(), QStringLiteral("中国"));
        QVERIFY(testsupport::Texts(boxes_).isEmpty());
    }

    // A double-click anywhere in the grid opens the current row: below the rows, on the
    // header, on another cell.
    void doubleClickAnywhereOpensTheCurrentRow_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("below the rows") << "below";
        QTest::newRow("on the header") << "header";
    }
    void doubleClickAnywhereOpensTheCurrentRow() {
        QFETCH(QString, where);
        frmquery& w = OpenWindow();
        w.RunQuery();
        QTableView* view = GridView(*w.Grid);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*w.Grid, 2, 1));
        QCOMPARE(w.Grid->Row(), 2);
        const QPoint last = CellCentre(*w.Grid, 3, 1);
        if (where == QLatin1String("below"))
            DoubleClick(view->viewport(), last + QPoint(0, 60));
        else
            DoubleClick(view->horizontalHeader()->viewport(), QPoint(last.x(), 8));
        QVERIFY(RecordWindowShown());
        QCOMPARE(forms::Get<frminfo>().shipId, 9);
        QCOMPARE(w.Grid->Row(), 2);
        QVERIFY(testsupport::Texts(boxes_).isEmpty());
    }

    // Enter in the grid does what a double-click does, for the row chosen with the keys.
    void enterOpensTheCurrentRow_data() {
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("id"); // 0: nothing opens
        QTest::newRow("first row") << 1 << 40000;
        QTest::newRow("third row") << 3 << 5;
        QTest::newRow("no current row") << 0 << 0;
    }
    void enterOpensTheCurrentRow() {
        QFETCH(int, downs);
        QFETCH(int, id);
        frmquery& w = OpenWindow();
        w.RunQuery();
        QTableView* view = GridView(*w.Grid);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(RecordWindowShown(), id != 0);
        if (id != 0) {
            QCOMPARE(forms::Get<frminfo>().shipId, id);
            QCOMPARE(w.Grid->Row(), downs);
        }
        QCOMPARE(w.Grid->Rows(), 4); // no new search
        QVERIFY(testsupport::Texts(boxes_).isEmpty());
    }
    void enterWithOnlyTheHeaderDoesNothing() {
        frmquery& w = OpenWindow();
        w.Text1->setText(QStringLiteral("no such shipowner"));
        w.RunQuery();
        QTableView* view = GridView(*w.Grid);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!RecordWindowShown());
        QVERIFY(testsupport::Texts(boxes_).isEmpty());
    }

    void doubleClickWithoutACurrentRowDoesNothing() {
        frmquery& w = OpenWindow();
        w.RunQuery();
        QCOMPARE(w.Grid->Rows(), 4);
        QCOMPARE(w.Grid->Row(), -1);
        QTableView* view = GridView(*w.Grid);
        DoubleClick(view->viewport(), CellCentre(*w.Grid, 3, 1) + QPoint(0, 60));
        QVERIFY(!RecordWindowShown());
    }

    // A listed row whose key could not be read has an empty key cell: nothing to open.
    void doubleClickOnARowWithoutKeyDoesNothing() {
        frmquery& w = OpenWindow();
        w.SetRecordsetOpener([](const QString&) {
            return std::make_unique<FakeRecordset>(QList<QVariantMap>{Shipowner(9, "中远海运")},
                                                   std::set<QString>{QStringLiteral("id")});
        });
        w.RunQuery();
        QCOMPARE(w.Grid->TextMatrix(1, 1), QStringLiteral("中远海运"));
        QCOMPARE(w.Grid->TextMatrix(1, 5), QString());
        DoubleClickRow(*w.Grid, 1);
        QCOMPARE(w.Grid->Row(), 1);
        QVERIFY(!RecordWindowShown());
        QVERIFY(testsupport::Texts(boxes_).isEmpty());
    }

    // Saves and deletes in the record window do not refresh the grid.
    void gridKeepsItsRowsAfterSaveAndDelete() {
        frmquery& w = OpenWindow();
        w.RunQuery();
        DoubleClickRow(*w.Grid, 2);
        frminfo& info = forms::Get<frminfo>();
        QCOMPARE(info.shipId, 9);

        QTest::keyClick(info.Txt[0], Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(info.Txt[0], QStringLiteral("Renamed")); // typed over the name
        QTest::mouseClick(info.CmdQuery, Qt::LeftButton);
        QCOMPARE(db_->row(9)->value(QStringLiteral("船东")).toString(), QStringLiteral("Renamed"));
        QTest::mouseClick(info.SmartNetXpButton1, Qt::LeftButton);
        QVERIFY(!db_->row(9));

        QCOMPARE(ColumnTexts(*w.Grid, 1),
                 (QStringList{"Beyond Shipping", "中远海运", "Alpha Lines"}));
        QCOMPARE(ColumnTexts(*w.Grid, 5), (QStringList{"40000", "9", "5"}));
        // Both boxes came from the record window.
        QCOMPARE(testsupport::Texts(boxes_),
                 (QStringList{QStringLiteral("修改成功"), QStringLiteral("是否要删除当前信息？")}));
    }
};

QTEST_MAIN(TestSearchOpenRecord)
#include "tst_searchopenrecord.moc"
