#pragma once
// Helpers for laying out windows from their design values.

#include <QColor>
#include <QRect>

namespace ui {

// Window geometry is designed in twips: 15 twips to a logical pixel.
constexpr int Tw(int twips) {
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}
inline QRect TwRect(int left, int top, int width, int height) {
    return QRect(Tw(left), Tw(top), Tw(width), Tw(height));
}

// Colours are designed as 0x00BBGGRR.
constexpr QRgb BgrToRgb(unsigned bgr) {
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
inline QColor Colour(unsigned bgr) {
    return QColor(BgrToRgb(bgr));
}

} // namespace ui
