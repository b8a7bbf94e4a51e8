#pragma once
// The result grid: a fixed header row (row 0) above rows of text cells, with exactly the
// operations the search window needs from a grid:
//  - Rows / SetRows: writing 1 removes every row but the header row, writing the current
//    count plus one appends one empty row at the bottom;
//  - Cols: the number of columns;
//  - TextMatrix / SetTextMatrix: the text of one cell, row 0 being the header;
//  - Row: the current row, the one the user clicked last (-1 when there is none);
//  - AutoSize: fits one column to the widest text it holds, all rows counted;
//  - show / hide (QWidget): shows the grid again or hides it;
//  - DblClick: the user double-clicked in the grid;
//  - EnterPressed: the user pressed Enter in the grid.
// Its initial settings (columns, header texts, widths, hidden columns, font) are given by
// the window that owns it.

#include <QFont>
#include <QString>
#include <QWidget>
#include <vector>

class GridModel;
class QTableView;

class FlexGrid : public QWidget {
    Q_OBJECT
public:
    struct Column {
        QString header;
        int widthTwips = 0;
        bool hidden = false;
    };

    explicit FlexGrid(QWidget* parent = nullptr);

    // Applies the initial settings; every result row is dropped.
    void InitialSettings(const std::vector<Column>& columns, const QFont& font);

    int Rows() const;
    void SetRows(int rows);
    int Cols() const;
    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);
    int Row() const;
    void AutoSize(int col);

    // Showing the grid also brings the view up to date with every row written so far.
    void setVisible(bool visible) override;

signals:
    void DblClick();
    void EnterPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Tells the model how many rows the view can show.
    void CountRowsOnScreen();

    QTableView* view_;
    GridModel* model_;
};
