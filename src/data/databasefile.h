#pragma once
// The database file the program opens, and how start-up names it to the engine.

#include <QString>

namespace data {

// The connection string is kConnectionHead + the system directory + kDatabaseFile.
inline const QString kConnectionHead =
    QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=");
inline const QString kDatabaseFile = QStringLiteral("\\shipman.bcd");

// The open arguments besides the connection string. Every program and tool that opens
// shipman.bcd keys it with this password.
inline const QString kUserId = QString();
inline const QString kPassword = QStringLiteral("vorpelinka");

} // namespace data
