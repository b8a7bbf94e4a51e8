// Connection::Open of a program that carries the ODBC engine alone, without SQLCipher:
// the ODBC tests, whose SQLite ODBC driver must not meet SQLCipher's copy of SQLite in one
// process. A driver the driver manager lacks cannot be opened at all.

#include "data/enginechoice.h"
#include "data/odbcbackend.h"

namespace data {

void Connection::Open(const QString& connectionString, const QString& user, const QString& password,
                      int options) {
    Q_UNUSED(options);
    static const EngineSet engines{odbc::HasDriver, odbc::OpenBackend, {}};
    if (IsOpen())
        throw AlreadyOpenError();
    backend_ = OpenChosenBackend(engines, connectionString, user, password);
}

} // namespace data
