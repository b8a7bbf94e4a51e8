#pragma once
// Shared by the search tests: the shared connection on a test database, result sets that report
// what the window did with them, and queued clicks as a user's clicks arrive.

#include "data/engine.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <vector>

class FlexGrid;
class QTableView;
class QWidget;
class frmquery;

namespace testsupport {
class TestDatabase;
}

namespace searchtest {

// Opens the shared connection on the test database, as start-up would.
void Connect(const testsupport::TestDatabase& db);

// What a test learns about one result set the window opened.
struct ResultSetUse {
    QString statement;
    int eofTests = 0;
    int valueReads = 0;
    int callsAfterClose = 0;
    bool closed = false;
    // Result sets opened before this one and still open when it was opened.
    int othersOpen = 0;
};

// Gives the window result sets opened on the shared connection as it opens them itself
// (static, read-only), each wrapped so that its use is logged. beforeEofTest, when set,
// runs before every end-of-data test with the number of the result set (0 for the first
// one opened) and the number of the test (1 for the first).
class ResultSetLog {
public:
    explicit ResultSetLog(frmquery& window);
    ~ResultSetLog();
    ResultSetLog(const ResultSetLog&) = delete;
    ResultSetLog& operator=(const ResultSetLog&) = delete;

    std::deque<ResultSetUse> opened;
    std::function<void(int set, int eofTest)> beforeEofTest;

private:
    frmquery& window_;
};

// A result set held in memory. Reading a field named in failingFields throws, as an
// engine does when it cannot read a value; with moveNextFails, so does every MoveNext.
class FakeRecordset : public data::Recordset {
public:
    FakeRecordset(QList<QVariantMap> rows, std::set<QString> failingFields,
                  bool moveNextFails = false);
    // Set to true by Close, so that a test sees it after the window dropped the set.
    bool* closedFlag = nullptr;
    bool Eof() const override;
    int FieldIndex(const QString& field) const override;
    QVariant ValueAt(int index) const override;
    void SetValue(const QString& field, const QVariant& value) override;
    void AddNew() override;
    void Update() override;
    void MoveNext() override;
    void Close() override;
    bool IsOpen() const override { return open_; }

private:
    QList<QVariantMap> rows_;
    std::set<QString> failing_;
    mutable std::vector<QString> names_;
    bool moveNextFails_;
    int current_ = 0;
    bool open_ = true;
};

// A left click posted to the widget's event queue, as a user's click waits there.
void PostClick(QWidget* widget);

// A left double-click at a point of the widget, delivered as the platform delivers one
// (press, release, press, double-click, release) through the widget's window.
void DoubleClick(QWidget* widget, QPoint pos);

// The grid's view, its result rows' texts in one column, and its column widths in pixels
// as the header shows them (0 for a hidden column).
QTableView* GridView(FlexGrid& grid);

// Puts Qt's model tester on the grid's model, once per grid: it fails the running test on
// any fault in how the model announces its changes.
void WatchModel(FlexGrid& grid);

// Shows the search window, its grid's model watched.
frmquery& OpenWindow();
QStringList ColumnTexts(FlexGrid& grid, int column);
QList<int> ColumnWidths(FlexGrid& grid);
// The initial widths of the seven columns in pixels, as ColumnWidths gives them.
QList<int> InitialColumnWidths();

} // namespace searchtest
