#pragma once
// Controls that several windows build the same way. Positions are in twips unless a
// QRect says otherwise (pixels, e.g. from TwRect).

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace ui {

// A label showing `caption`. A screen reader reads the label's current text.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);

// A horizontal line one pixel high in the colour `bgr` (black unless given), from x fromX
// to x toX at height y (twips).
QFrame* MakeLine(QWidget* parent, const char* name, int fromX, int toX, int y,
                 unsigned bgr = 0x00000000);

// A plain push button that never becomes the default button by taking the focus, so that
// Enter in a box does not press it. A screen reader reads its current caption.
QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption,
                               const QRect& geometry);

// A command button with a white face, the 宋体 9 pt font and a 16 x 16 icon, never a
// default button.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& icon, const QRect& geometry);

// Makes the label as large as its text needs, in the font it has, where it is smaller:
// wider and taller for one line, taller for a label that wraps its words. The top-left
// corner stays; a label that is large enough keeps its size.
void GrowToFit(QLabel* label);

// Sets the colour of a control's text (0x00BBGGRR).
void SetTextColour(QWidget* control, unsigned bgr);

} // namespace ui
