#include "ui/controls.h"

#include "ui/design.h"
#include "ui/fonts.h"

#include <QIcon>

namespace ui {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption,
                  const QRect& geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setGeometry(geometry);
    return label;
}

QFrame* MakeLine(QWidget* parent, const char* name, int fromX, int toX, int y, unsigned bgr) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromUtf8(name));
    line->setFrameShape(QFrame::NoFrame);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Colour(bgr));
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    line->setFocusPolicy(Qt::NoFocus);
    line->setGeometry(Tw(fromX), Tw(y), Tw(toX) - Tw(fromX), 1);
    return line;
}

QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption,
                               const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& icon, const QRect& geometry) {
    QPushButton* button = MakeCommandButton(parent, name, caption, geometry);
    button->setDefault(false);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(16, 16));
    button->setFont(UiFont(QStringLiteral("宋体"), 9));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Colour(0x00FFFFFF));
    button->setPalette(palette);
    return button;
}

void GrowToFit(QLabel* label) {
    if (label->text().isEmpty())
        return;
    const QMargins margins = label->contentsMargins();
    const int width = label->contentsRect().width();
    const QRect needed = label->fontMetrics().boundingRect(
        QRect(0, 0, label->wordWrap() ? width : 100000, 100000),
        int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0), label->text());
    const QSize size(std::max(label->width(), needed.width() + margins.left() + margins.right()),
                     std::max(label->height(), needed.height() + margins.top() + margins.bottom()));
    if (size != label->size())
        label->resize(size);
}

void SetTextColour(QWidget* control, unsigned bgr) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, Colour(bgr));
    control->setPalette(palette);
}

} // namespace ui
