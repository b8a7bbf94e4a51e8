#pragma once
// The cells of the search grid: a header row and result rows of plain text.
//
// Rows are stored as soon as they are appended, but the view only learns about new rows
// in batches, at most about once per display frame, so that a fill appending one row per
// record does not make the view lay out and repaint once per record. The widest text of
// every column is kept as cells are written, so that fitting a column costs nothing
// however many rows it holds.
//
// The cells are kept in blocks of a fixed number of rows, so that appending a row never
// copies the rows before it. Dropping every row (a new search) hands the blocks over to
// be freed one block per pass of the event loop, so that freeing a large result never
// holds the event loop up.

#include <QAbstractTableModel>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "search/TextWidth.h"

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    // Columns and their header texts; drops every result row.
    void SetHeader(const QStringList& header);
    // The font the cells are drawn in, for the width of their texts.
    void SetCellFont(const QFont& font);

    int ColumnCount() const { return int(header_.size()); }
    // Result rows stored, whether or not the view has been told about them yet.
    int ResultRows() const { return resultRows_; }
    // Keeps the first `count` result rows, or appends empty ones up to `count`.
    void SetResultRows(int count);

    // Grid row 0 is the header; result row r is grid row r.
    QString Text(int gridRow, int column) const;
    void SetText(int gridRow, int column, const QString& text);

    // Pixel width of the widest cell text of a result row in the column.
    int WidestCellText(int column);

    // Tells the view about every stored row now.
    void Publish();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // Drops every result row and the widths measured so far (inside a model reset).
    void ClearRows();
    using Block = std::unique_ptr<QString[]>;
    static constexpr int kBlockRows = 4096;

    QString& Cell(int resultRow, int column) {
        return blocks_[std::size_t(resultRow / kBlockRows)][InBlock(resultRow, column)];
    }
    const QString& Cell(int resultRow, int column) const {
        return blocks_[std::size_t(resultRow / kBlockRows)][InBlock(resultRow, column)];
    }
    std::size_t InBlock(int resultRow, int column) const {
        return std::size_t(resultRow % kBlockRows) * header_.size() + std::size_t(column);
    }
    // Makes room for `count` result rows, or frees the rows from `count` on and empties
    // their cells.
    void ResizeStore(int count);
    // Frees one block of the rows dropped earlier.
    void ReleaseOneBlock();

    QStringList header_;
    std::vector<Block> blocks_;   // result rows, row-major, kBlockRows rows a block
    std::vector<Block> released_; // blocks of dropped rows, still to be freed
    QTimer releaseTimer_;
    int resultRows_ = 0;
    int publishedRows_ = 0; // rows the view knows about
    std::vector<int> widest_;
    std::vector<bool> widestStale_; // a wide text may have been overwritten
    TextWidth width_;
    QTimer publishTimer_;
};
