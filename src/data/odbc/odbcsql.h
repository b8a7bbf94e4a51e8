#pragma once
// Texts the ODBC engine makes: the connection string it hands to the driver and what it
// reads from a statement when the driver does not say.

#include <QString>
#include <QStringList>

namespace data::odbc {

// The connection string for SQLDriverConnect: the given pairs, with the user and
// password appended as UID and PWD (replacing any in the string). Off Windows a
// backslash in dbq is the directory separator. SQLite's ODBC driver takes the file as
// Database rather than dbq and creates a missing file unless told NoCreat, so for it
// both are added.
QString DriverConnectionString(const QString& given, const QString& user, const QString& password,
                               bool sqliteDriver);

// True when a driver's attributes (as the driver manager lists them, "key=value") name
// SQLite's ODBC driver library.
bool IsSqliteDriver(const QStringList& attributes);

// The table a "select … from <table> [where|order by …]" statement reads, without its
// quotes; empty when the statement reads anything else (a join, a list of tables, no
// table).
QString SingleTableOf(const QString& statement);

} // namespace data::odbc
