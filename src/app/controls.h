#pragma once
// Controls that several windows build the same way.

#include <QFrame>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace ui {

// A horizontal line one pixel high in the default line colour, from x fromX to x toX at
// height y (twips).
QFrame* MakeLine(QWidget* parent, const char* name, int fromX, int toX, int y);

// A push button with a white face, the 宋体 9 pt font and a 16 x 16 icon, never a default
// button, so that Enter in a box does not press it. geometry is in pixels.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& icon, const QRect& geometry);

} // namespace ui
