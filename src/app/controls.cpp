#include "app/controls.h"

#include "app/ui.h"
#include "platform/fonts.h"

#include <QIcon>

namespace ui {

QFrame* MakeLine(QWidget* parent, const char* name, int fromX, int toX, int y) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromUtf8(name));
    line->setFrameShape(QFrame::NoFrame);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Qt::black);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    line->setFocusPolicy(Qt::NoFocus);
    line->setGeometry(Tw(fromX), Tw(y), Tw(toX) - Tw(fromX), 1);
    return line;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& icon, const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(16, 16));
    button->setFont(platform::UiFont(QStringLiteral("宋体"), 9));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Colour(0x00FFFFFF));
    button->setPalette(palette);
    button->setGeometry(geometry);
    return button;
}

} // namespace ui
