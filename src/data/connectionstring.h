#pragma once
// Reading an ODBC-style connection string: "Driver={...};dbq=<path>".

#include <QString>

namespace data {

struct ConnectionString {
    QString driver;       // without braces
    QString databasePath; // dbq, as written
};

// Keys are matched without regard to case; a value may be wrapped in braces.
ConnectionString ParseConnectionString(const QString& text);

// The driver name of Access database files, which the embedded engine serves.
bool IsAccessDriver(const QString& driver);

// The path of a dbq value on this system: off Windows a backslash is the directory
// separator.
QString LocalDatabasePath(const QString& dbq);

} // namespace data
