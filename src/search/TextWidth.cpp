#include "search/TextWidth.h"

#include <QList>
#include <QtMath>
#include <algorithm>

namespace {

// Characters whose width in a line is the sum of their own advances: no combining
// marks, no surrogates, no joiners or bidirectional controls, no complex shaping.
bool IsSimple(char16_t c) {
    return (c >= 0x20 && c < 0x0300) || (c >= 0x0370 && c < 0x0483) ||
           (c >= 0x048A && c < 0x0530) || (c >= 0x2010 && c <= 0x2027) ||
           (c >= 0x3000 && c <= 0x3029) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xFF01 && c <= 0xFF60);
}

} // namespace

TextWidth::TextWidth(const QFont& font) : metrics_(font), charWidth_(0x10000, -1) {}

qreal TextWidth::OfChar(char16_t ch) {
    float& cached = charWidth_[ch];
    if (cached < 0)
        cached = float(metrics_.horizontalAdvance(QChar(ch)));
    return cached;
}

int TextWidth::Of(QStringView text) {
    // Advances are fractional in most fonts: rounding each one would lose pixels that a
    // line of text has.
    qreal sum = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!IsSimple(c)) {
            // Rare: let the font measure the whole text, line by line.
            int widest = 0;
            const auto lines = text.split(u'\n');
            for (QStringView line : lines) {
                if (line.endsWith(u'\r'))
                    line.chop(1);
                widest = std::max(widest, qCeil(metrics_.horizontalAdvance(line.toString())));
            }
            return widest;
        }
        sum += OfChar(c);
    }
    return qCeil(sum);
}
