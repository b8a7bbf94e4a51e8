#pragma once
// How field values become text and box text becomes field values.

#include <QString>
#include <QVariant>

namespace data {

// Removes ASCII spaces (and nothing else) at both ends.
QString TrimSpaces(const QString& text);

// A field read as text: Null gives the empty text, numbers their decimal digits; spaces
// at both ends are removed, line breaks inside are kept.
QString FieldText(const QVariant& value);

// The value written for a box: its text trimmed of spaces at both ends, never Null (an
// empty box gives an empty, non-null text).
QString StoredText(const QString& box);

} // namespace data
