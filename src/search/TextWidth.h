#pragma once
// Pixel width of a line of text in one font, fast enough to measure every cell of a
// large grid as it is written.

#include <QFont>
#include <QFontMetrics>
#include <QStringView>
#include <vector>

class TextWidth {
public:
    explicit TextWidth(const QFont& font = QFont());

    // Width of the text as the grid draws it; a text with line breaks is as wide as its
    // widest line.
    int Of(QStringView text);

private:
    qreal OfChar(char16_t ch);

    QFontMetricsF metrics_;
    std::vector<float> charWidth_; // per UTF-16 unit of the simple ranges, -1 unknown
};
