// Connection::Open of the program: the ODBC driver manager serves the driver the
// connection string names when it has one of that name, the embedded engine otherwise.
// Nothing else belongs in this file: a program that carries other engines defines
// Connection::Open itself (see odbconlyengines.cpp) and this file is then left out.

#include "data/enginechoice.h"
#include "data/odbcbackend.h"
#include "data/sqlcipherbackend.h"

namespace data {

void Connection::Open(const QString& connectionString, const QString& user, const QString& password,
                      int options) {
    Q_UNUSED(options);
    static const EngineSet engines{odbc::HasDriver, odbc::OpenBackend, OpenEmbeddedBackend};
    if (IsOpen())
        throw AlreadyOpenError();
    backend_ = OpenChosenBackend(engines, connectionString, user, password);
}

} // namespace data
