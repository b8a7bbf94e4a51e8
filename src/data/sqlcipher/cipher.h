#pragma once
// The cipher settings of shipman.bcd, shared by the engine and the database builder.

#include <QByteArray>

struct sqlite3;

namespace data::cipher {

inline constexpr int kPageSize = 1024;
inline constexpr int kKdfIterations = 64000;

// Keys a freshly opened handle with the password and fixes the cipher settings. Must run
// before the first read of the file. An empty password leaves the file unencrypted.
// Returns an SQLite result code.
int ApplyKey(sqlite3* db, const QByteArray& password);

} // namespace data::cipher
