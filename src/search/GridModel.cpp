#include "search/GridModel.h"

#include <algorithm>
#include <limits>

namespace {
// About one display frame: the view hears of new rows at most this often while they
// land on the screen. Below it, where a new row only moves the scroll bar, ten times a
// second is enough, and the view lays itself out and repaints that much less.
constexpr int kPublishIntervalMs = 16;
constexpr int kPublishBelowScreenMs = 100;

// A cell shows at most this many characters: laying out a text of megabytes for each
// paint would freeze the window, and no column shows more.
constexpr qsizetype kShownChars = 1000;

QString Shown(QStringView text) {
    if (text.size() <= kShownChars)
        return text.toString();
    QString shown = text.left(kShownChars).toString();
    shown += QChar(0x2026);
    return shown;
}

// A block's buffer is packed anew once more than half of it is garbage, and at least this
// much (64 KiB): packing then costs no more than the writes that made the garbage did.
constexpr qsizetype kPackAtGarbage = 32 * 1024;

// A span reaches no further into its block's buffer than this.
constexpr qsizetype kMaxSpan = std::numeric_limits<quint32>::max();
} // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {
    publishTimer_.setSingleShot(true);
    publishTimer_.setInterval(kPublishIntervalMs);
    connect(&publishTimer_, &QTimer::timeout, this, &GridModel::Publish);
    releaseTimer_.setInterval(0);
    connect(&releaseTimer_, &QTimer::timeout, this, &GridModel::ReleaseOneBlock);
}

void GridModel::SetHeader(const QStringList& header) {
    beginResetModel();
    header_ = header;
    ClearRows();
    endResetModel();
}

void GridModel::ClearRows() {
    // Each block frees its texts when its turn comes, whatever the columns are by then.
    released_.reserve(released_.size() + blocks_.size());
    for (std::unique_ptr<Block>& block : blocks_)
        released_.push_back(std::move(block));
    blocks_.clear();
    if (!released_.empty() && !releaseTimer_.isActive())
        releaseTimer_.start();
    resultRows_ = 0;
    publishedRows_ = 0;
    widest_.assign(header_.size(), 0);
    widestStale_.assign(header_.size(), false);
}

void GridModel::SetRowsOnScreen(int rows) {
    rowsOnScreen_ = std::max(rows, 0);
}

void GridModel::SetCellFont(const QFont& font) {
    width_ = TextWidth(font);
    // Widths measured in the old font no longer hold; with no rows there are none to
    // measure again, and the rows to come are measured as they are written.
    if (resultRows_ == 0) {
        std::fill(widest_.begin(), widest_.end(), 0);
        std::fill(widestStale_.begin(), widestStale_.end(), false);
    } else {
        std::fill(widestStale_.begin(), widestStale_.end(), true);
    }
}

void GridModel::SetResultRows(int count) {
    count = std::max(count, 0);
    if (count == resultRows_)
        return;
    if (count < resultRows_) {
        if (count == 0) {
            // The common case, a new search: start from an empty store.
            beginResetModel();
            ClearRows();
            endResetModel();
            return;
        }
        if (count < publishedRows_) {
            beginRemoveRows(QModelIndex(), count, publishedRows_ - 1);
            publishedRows_ = count;
            ResizeStore(count);
            resultRows_ = count;
            endRemoveRows();
        } else {
            ResizeStore(count);
            resultRows_ = count;
        }
        std::fill(widestStale_.begin(), widestStale_.end(), true);
        return;
    }
    ResizeStore(count);
    resultRows_ = count;
    if (!publishTimer_.isActive())
        publishTimer_.start(publishedRows_ < rowsOnScreen_ ? kPublishIntervalMs
                                                           : kPublishBelowScreenMs);
}

void GridModel::ResizeStore(int count) {
    const std::size_t blocks = std::size_t((count + kBlockRows - 1) / kBlockRows);
    // Rows dropped inside the last block kept come back empty if they are appended again.
    for (int row = count; row < std::min(resultRows_, int(blocks * kBlockRows)); ++row)
        for (int column = 0; column < ColumnCount(); ++column)
            Store(row, column, QStringView());
    while (blocks_.size() > blocks) {
        released_.push_back(std::move(blocks_.back()));
        blocks_.pop_back();
    }
    if (!released_.empty() && !releaseTimer_.isActive())
        releaseTimer_.start();
    while (blocks_.size() < blocks) {
        // The rows of the last block are written by now, as a fill writes them: its buffer
        // gives back what it holds spare, and the next block starts with room for as much
        // text, the rows of a result being much alike.
        qsizetype room = 0;
        if (!blocks_.empty()) {
            Block& last = *blocks_.back();
            last.text.squeeze();
            room = last.text.size() - last.garbage;
        }
        blocks_.push_back(std::make_unique<Block>(std::size_t(kBlockRows) * header_.size()));
        if (room > 0)
            blocks_.back()->text.reserve(room);
    }
}

QStringView GridModel::Cell(int resultRow, int column) const {
    const Block& block = *blocks_[std::size_t(resultRow / kBlockRows)];
    const Span& span = block.spans[InBlock(resultRow, column)];
    return QStringView(block.text.constData() + span.offset, qsizetype(span.length));
}

void GridModel::Store(int resultRow, int column, QStringView text) {
    Block& block = *blocks_[std::size_t(resultRow / kBlockRows)];
    Span& span = block.spans[InBlock(resultRow, column)];
    block.garbage += span.length;
    span = Span();
    PackIfWasteful(block);
    if (text.isEmpty())
        return;
    // Past 4 Gi characters in one block, more than any real result holds, the text is cut.
    if (block.text.size() + text.size() > kMaxSpan)
        Pack(block);
    text = text.left(std::max<qsizetype>(kMaxSpan - block.text.size(), 0));
    span.offset = quint32(block.text.size());
    span.length = quint32(text.size());
    block.text.append(text);
}

void GridModel::PackIfWasteful(Block& block) {
    if (block.garbage >= kPackAtGarbage && block.garbage > block.text.size() / 2)
        Pack(block);
}

void GridModel::Pack(Block& block) {
    QString packed;
    packed.reserve(block.text.size() - block.garbage);
    for (std::size_t cell = 0; cell < block.cells; ++cell) {
        Span& span = block.spans[cell];
        if (span.length == 0)
            continue;
        const QStringView text(block.text.constData() + span.offset, qsizetype(span.length));
        span.offset = quint32(packed.size());
        packed.append(text);
    }
    block.text = std::move(packed);
    block.garbage = 0;
}

int GridModel::ShownWidth(QStringView text) {
    return text.size() > kShownChars ? width_.Of(Shown(text)) : width_.Of(text);
}

void GridModel::ReleaseOneBlock() {
    if (!released_.empty())
        released_.pop_back();
    if (released_.empty()) {
        releaseTimer_.stop();
        released_.shrink_to_fit();
    }
}

QString GridModel::Text(int gridRow, int column) const {
    if (column < 0 || column >= ColumnCount() || gridRow < 0 || gridRow > resultRows_)
        return QString();
    if (gridRow == 0)
        return header_.at(column);
    const QStringView text = Cell(gridRow - 1, column);
    return text.isEmpty() ? QString() : text.toString();
}

void GridModel::SetText(int gridRow, int column, const QString& text) {
    if (column < 0 || column >= ColumnCount() || gridRow < 0 || gridRow > resultRows_)
        return;
    if (gridRow == 0) {
        header_[column] = text;
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const int row = gridRow - 1;
    if (CellSpan(row, column).length != 0)
        widestStale_[column] = true;
    Store(row, column, text);
    if (!widestStale_[column] && !text.isEmpty())
        widest_[column] = std::max(widest_[column], ShownWidth(text));
    if (row < publishedRows_) {
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

int GridModel::WidestCellText(int column) {
    if (column < 0 || column >= ColumnCount())
        return 0;
    if (widestStale_[column]) {
        int widest = 0;
        for (int row = 0; row < resultRows_; ++row) {
            const QStringView text = Cell(row, column);
            if (!text.isEmpty())
                widest = std::max(widest, ShownWidth(text));
        }
        widest_[column] = widest;
        widestStale_[column] = false;
    }
    return widest_[column];
}

void GridModel::Publish() {
    publishTimer_.stop();
    if (publishedRows_ >= resultRows_)
        return;
    beginInsertRows(QModelIndex(), publishedRows_, resultRows_ - 1);
    publishedRows_ = resultRows_;
    endInsertRows();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : publishedRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= publishedRows_)
        return QVariant();
    const QStringView text = Cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return text.isEmpty() ? QString() : Shown(text);
    case Qt::AccessibleTextRole:
        return text.isEmpty() ? QString() : text.toString(); // a screen reader reads it all
    default:
        return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= ColumnCount())
        return QVariant();
    return header_.at(section);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
