#include "data/valuerules.h"

namespace data {

QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

QString FieldText(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return QString();
    return TrimSpaces(value.toString());
}

QString StoredText(const QString& box) {
    const QString text = TrimSpaces(box);
    if (text.isNull())
        return QStringLiteral("");
    return text;
}

} // namespace data
