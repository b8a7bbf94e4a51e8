#pragma once
// What the user can see of the program's windows.

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QStringList>
#include <QWidget>

namespace testsupport {

// True when any top-level window is on the screen.
inline bool AnyWindowVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return true;
    return false;
}

// The labels of the window that cannot show all of their text in the fonts they have
// now, each with what it needs and what it has. Labels in a layout are sized by it.
inline QStringList ClippedLabels(QWidget& window) {
    QStringList clipped;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->parentWidget()->layout())
            continue;
        const QRect room = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect needed = label->fontMetrics().boundingRect(
            QRect(0, 0, label->wordWrap() ? room.width() : 100000, 100000), flags, label->text());
        if (needed.width() > room.width() || needed.height() > room.height())
            clipped << QStringLiteral("%1 needs %2x%3, has %4x%5")
                           .arg(label->objectName())
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    }
    return clipped;
}

} // namespace testsupport
