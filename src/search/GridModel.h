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
// copies the rows before it. A block holds the texts of its cells one after another in
// one buffer, each cell pointing at its own stretch of it: a million rows cost a few
// hundred allocations rather than millions of strings. A cell written again leaves its
// old text behind in the buffer, and a block whose buffer has become mostly such leftovers
// is packed anew. Dropping every row (a new search) hands the blocks over to be freed one
// block per pass of the event loop, so that freeing a large result never holds the event
// loop up.

#include <QAbstractTableModel>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTimer>
#include <limits>
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
    // How many result rows the view shows at most: rows past these are told to the view
    // less often.
    void SetRowsOnScreen(int rows);

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

    // Where a cell's text lies in its block's buffer; an empty text lies nowhere.
    struct Span {
        quint32 offset = 0;
        quint32 length = 0;
    };
    struct Block {
        explicit Block(std::size_t cellCount)
            : cells(cellCount), spans(std::make_unique<Span[]>(cellCount)) {}
        std::size_t cells;
        std::unique_ptr<Span[]> spans; // one a cell, row-major
        QString text;                  // the texts of the cells, written one after another
        qsizetype garbage = 0;         // characters of texts no cell points at any more
    };
    static constexpr int kBlockRows = 4096;

    Span& CellSpan(int resultRow, int column) {
        return blocks_[std::size_t(resultRow / kBlockRows)]->spans[InBlock(resultRow, column)];
    }
    QStringView Cell(int resultRow, int column) const;
    std::size_t InBlock(int resultRow, int column) const {
        return std::size_t(resultRow % kBlockRows) * header_.size() + std::size_t(column);
    }
    // Points the cell at the text, the old one left behind as garbage.
    void Store(int resultRow, int column, QStringView text);
    // Copies the texts the cells still point at into a new buffer, when most of the block's
    // buffer is garbage.
    void PackIfWasteful(Block& block);
    void Pack(Block& block);
    // Width of the text as a cell shows it.
    int ShownWidth(QStringView text);
    // Makes room for `count` result rows, or frees the rows from `count` on and empties
    // their cells.
    void ResizeStore(int count);
    // Frees one block of the rows dropped earlier.
    void ReleaseOneBlock();

    QStringList header_;
    std::vector<std::unique_ptr<Block>> blocks_;   // result rows, kBlockRows rows a block
    std::vector<std::unique_ptr<Block>> released_; // blocks of dropped rows, still to be freed
    QTimer releaseTimer_;
    int resultRows_ = 0;
    int publishedRows_ = 0; // rows the view knows about
    std::vector<int> widest_;
    std::vector<bool> widestStale_; // a wide text may have been overwritten
    TextWidth width_;
    QTimer publishTimer_;
    int rowsOnScreen_ = std::numeric_limits<int>::max();
};
