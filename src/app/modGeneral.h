#pragma once
// Shared state and start-up of the program.

#include "data/engine.h"

#include <QString>

namespace modGeneral {

// The system directory as the platform reports it, without a trailing separator. Set
// once by Main(); its only use is the connection string.
extern QString gSysDir;

// The shared connection, created on first use.
data::Connection& gConn();
// Drops the shared connection (tests), so that the next use creates a fresh one.
void ResetConnection();

// Pieces of the connection string and the open arguments.
inline const QString kConnectionHead =
    QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=");
inline const QString kDatabaseFile = QStringLiteral("\\shipman.bcd");
inline const QString kUserId = QString();
inline const QString kPassword = QStringLiteral("vorpelinka");

// The start-up procedure: reads the system directory, opens gConn on the database file
// and shows the splash window. On any failure it shows "辞典文件丢失！" and returns
// false, having shown no window.
bool Main();

} // namespace modGeneral
