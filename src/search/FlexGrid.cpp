#include "search/FlexGrid.h"

#include "search/GridModel.h"
#include "ui/design.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

FlexGrid::FlexGrid(QWidget* parent)
    : QWidget(parent), view_(new QTableView(this)), model_(new GridModel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    view_->setObjectName(QStringLiteral("GridView"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(false);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);

    setFocusPolicy(view_->focusPolicy());
    setFocusProxy(view_);
    // A double-click anywhere in the grid counts, on a cell, below the rows or on the
    // header; what it opens is the current row.
    view_->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
    // Enter in the grid, for whoever uses the keyboard.
    view_->installEventFilter(this);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                !key->isAutoRepeat()) {
                emit EnterPressed();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit DblClick();
    return QWidget::eventFilter(watched, event);
}

void FlexGrid::InitialSettings(const std::vector<Column>& columns, const QFont& font) {
    QStringList header;
    for (const Column& column : columns)
        header << column.header;
    model_->SetHeader(header);

    setFont(font);
    view_->setFont(font);
    model_->SetCellFont(font);
    view_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    CountRowsOnScreen();

    QHeaderView* h = view_->horizontalHeader();
    for (int c = 0; c < int(columns.size()); ++c) {
        h->setSectionHidden(c, false);
        h->resizeSection(c, ui::Tw(columns[c].widthTwips));
        h->setSectionHidden(c, columns[c].hidden);
    }
    view_->scrollToTop();
    view_->horizontalScrollBar()->setValue(0);
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CountRowsOnScreen();
}

void FlexGrid::CountRowsOnScreen() {
    // The grid's whole height, header included, and a row cut at the bottom.
    model_->SetRowsOnScreen(height() / view_->verticalHeader()->defaultSectionSize() + 1);
}

int FlexGrid::Rows() const {
    return model_->ResultRows() + 1;
}

void FlexGrid::SetRows(int rows) {
    model_->SetResultRows(std::max(rows, 1) - 1);
}

int FlexGrid::Cols() const {
    return model_->ColumnCount();
}

QString FlexGrid::TextMatrix(int row, int col) const {
    return model_->Text(row, col);
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
    model_->SetText(row, col, text);
}

int FlexGrid::Row() const {
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? current.row() + 1 : -1;
}

void FlexGrid::AutoSize(int col) {
    if (col < 0 || col >= Cols())
        return;
    QStyle* style = view_->style();
    QHeaderView* header = view_->horizontalHeader();

    // The header section, as the header itself measures its text (the style decides
    // the margins and the font).
    int width = header->sectionSizeHint(col);

    // The cells: the widest text with the item margins, and the grid line.
    const int widest = model_->WidestCellText(col);
    if (widest > 0) {
        const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1;
        const int gridLine = view_->showGrid() ? 1 : 0;
        width = std::max(width, widest + 2 * textMargin + gridLine);
    }
    header->resizeSection(col, std::max(width, header->minimumSectionSize()));
}

void FlexGrid::setVisible(bool visible) {
    if (visible)
        model_->Publish();
    QWidget::setVisible(visible);
}
