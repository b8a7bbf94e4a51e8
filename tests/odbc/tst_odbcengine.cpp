// The engine cases through ODBC: SQLite's ODBC driver, registered under the Access
// driver's name, on a plain SQLite shipman.bcd.

#include "data/odbc/odbcbackend.h"
#include "odbctestdb.h"

int main(int argc, char** argv) {
    data::RegisterOdbcEngine();
    return RunEngineSuite(argc, argv,
                          [] { return std::make_unique<odbctest::OdbcTestDatabase>(); });
}
