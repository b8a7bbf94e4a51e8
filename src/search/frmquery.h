#pragma once
// The search window: two filters, Search and Stop, and the result grid.
//
// RunQuery builds the search statement from the filters, opens a read-only result set on
// the shared connection and lists its rows in the grid, one row per record, running the
// event loop before every row so that Stop, another search, a double-click or closing
// the window are handled while the rows arrive. Nothing that fails during a search is
// ever reported: a failing step is skipped and the search goes on.
//
// A search started while another one fills the grid wins: the earlier one stops at once,
// writes no further cell and closes its result set. Closing the window stops a running
// search in the same way and puts the window back to its initial layout.

#include "data/engine.h"
#include "ui/form.h"

#include <functional>
#include <memory>

class FlexGrid;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmquery : public Form {
    Q_OBJECT
public:
    frmquery();

    // Runs one complete search; returns when the grid is filled, the result set closed
    // and the columns fitted, or when a later search or closing the window ended it.
    void RunQuery();

    // Set by Stop; the running search ends before its next row.
    bool StopRequested = false;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QFrame* Line3 = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* CmdQuery = nullptr;
    QPushButton* CmdStop = nullptr;
    FlexGrid* Grid = nullptr;
    QLabel* Label5 = nullptr;

    // Opens the result set of a search statement. By default a static, read-only result
    // set on the shared connection; tests put their own in its place. An empty function
    // restores the default.
    using RecordsetOpener =
        std::function<std::unique_ptr<data::Recordset>(const QString& statement)>;
    void SetRecordsetOpener(RecordsetOpener opener);

protected:
    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void SetInitialLayout();

    // Lists the records of rs (which may be null when it could not be opened), closes
    // it and fits the columns, unless search `search` is superseded while it yields.
    // failed: the result set could not be opened, as the file could not be read.
    void Fill(std::unique_ptr<data::Recordset> rs, quint64 search, bool failed);

    // Closes the result set of the search filling the grid, if one is.
    void StopFilling();

    void CmdQuery_Click();
    void CmdStop_Click();
    void Grid_DblClick();
    RecordsetOpener opener_;
    // Number of the latest search; a running fill whose number is no longer the latest
    // has been superseded by a later search or by closing the window.
    quint64 latestSearch_ = 0;
    // The result set of the search filling the grid; owned by that search.
    data::Recordset* filling_ = nullptr;
};
