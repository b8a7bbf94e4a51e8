#pragma once
// The ODBC engine: the connection string goes to the ODBC driver manager, which loads the
// driver it names (the Access driver on Windows).

#include "data/backend.h"

namespace data::odbc {

// True when the driver manager has a driver of this name, compared without regard to
// case. False when there is no usable driver manager.
bool HasDriver(const QString& name);

// Connects with the connection string, the user and the password as UID and PWD, and
// checks that the database holds the table Thalvane. Throws EngineError.
std::unique_ptr<ConnectionBackend> OpenBackend(const QString& connectionString, const QString& user,
                                               const QString& password);

} // namespace data::odbc

namespace data {
// Makes the ODBC engine one of the engines Connection::Open may use: it serves every
// connection whose driver the driver manager has.
void RegisterOdbcEngine();
} // namespace data
