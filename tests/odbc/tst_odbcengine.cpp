// The engine cases through ODBC: SQLite's ODBC driver, registered under the Access
// driver's name, on a plain SQLite shipman.bcd.

#include "odbctestdb.h"

int main(int argc, char** argv) {
    return RunEngineSuite(argc, argv,
                          [] { return std::make_unique<odbctest::OdbcTestDatabase>(); });
}
