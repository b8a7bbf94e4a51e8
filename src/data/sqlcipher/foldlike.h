#pragma once
// The LIKE of the embedded engine: a pattern match that compares text the way Access does
// for the shipowner search, ignoring case in every script and the difference between
// full-width and ordinary ASCII forms. Only % (any run of characters) and _ (any one
// character) are wildcards; their full-width forms are ordinary characters.

#include <QString>

struct sqlite3;

namespace data {

// True when text matches pattern. escape, when not null, makes the next pattern
// character literal.
bool LikeMatches(const QString& pattern, const QString& text, QChar escape = QChar());

// Replaces the like() function (two and three arguments) on a handle.
int RegisterLike(sqlite3* db);

} // namespace data
