#include "search/GridModel.h"

#include <algorithm>

namespace {
// About one display frame: the view hears of new rows at most this often.
constexpr int kPublishIntervalMs = 16;

// A cell shows at most this many characters: laying out a text of megabytes for each
// paint would freeze the window, and no column shows more.
constexpr qsizetype kShownChars = 1000;

QString Shown(const QString& text) {
    return text.size() > kShownChars ? text.left(kShownChars) + QChar(0x2026) : text;
}
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
    for (Block& block : blocks_)
        released_.push_back(std::move(block));
    blocks_.clear();
    if (!released_.empty() && !releaseTimer_.isActive())
        releaseTimer_.start();
    resultRows_ = 0;
    publishedRows_ = 0;
    widest_.assign(header_.size(), 0);
    widestStale_.assign(header_.size(), false);
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
        publishTimer_.start();
}

void GridModel::ResizeStore(int count) {
    const std::size_t blocks = std::size_t((count + kBlockRows - 1) / kBlockRows);
    // Rows dropped inside the last block kept come back empty if they are appended again.
    for (int row = count; row < std::min(resultRows_, int(blocks * kBlockRows)); ++row)
        for (int column = 0; column < ColumnCount(); ++column)
            Cell(row, column) = QString();
    while (blocks_.size() > blocks) {
        released_.push_back(std::move(blocks_.back()));
        blocks_.pop_back();
    }
    if (!released_.empty() && !releaseTimer_.isActive())
        releaseTimer_.start();
    while (blocks_.size() < blocks)
        blocks_.push_back(std::make_unique<QString[]>(std::size_t(kBlockRows) * header_.size()));
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
    return Cell(gridRow - 1, column);
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
    QString& cell = Cell(row, column);
    if (!cell.isEmpty())
        widestStale_[column] = true;
    cell = text;
    if (!widestStale_[column] && !text.isEmpty())
        widest_[column] = std::max(widest_[column], width_.Of(Shown(text)));
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
            const QString& text = Cell(row, column);
            if (!text.isEmpty())
                widest = std::max(widest, width_.Of(Shown(text)));
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
    const QString& text = Cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return Shown(text);
    case Qt::AccessibleTextRole:
        return text; // a screen reader reads the whole text
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
