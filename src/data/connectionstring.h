#pragma once
// Reading and writing ODBC-style connection strings: "Driver={...};dbq=<path>".

#include <QList>
#include <QString>

namespace data {

struct ConnectionString {
    QString driver;       // without braces
    QString databasePath; // dbq, as written
};

// One key=value pair: the key as written (trimmed), the value without its braces.
struct ConnectionStringPair {
    QString key;
    QString value;
    friend bool operator==(const ConnectionStringPair&, const ConnectionStringPair&) = default;
};

// The pairs in the order written. A value may be wrapped in braces (spaces before the
// brace are ignored), inside which ';' is an ordinary character and "}}" stands for '}'.
QList<ConnectionStringPair> ConnectionStringPairs(const QString& text);

// Pairs joined as key=value with ';'. The driver's name is braced; any other value only
// when it must be (it holds ';', starts with '{' or has spaces at either end). Inside
// braces '}' is doubled.
QString FormatConnectionString(const QList<ConnectionStringPair>& pairs);

// Keys are matched without regard to case; when a key is given twice the last one counts.
ConnectionString ParseConnectionString(const QString& text);

// The driver name of Access database files, which the embedded engine serves.
bool IsAccessDriver(const QString& driver);

// The path of a dbq value on this system: off Windows a backslash is the directory
// separator.
QString LocalDatabasePath(const QString& dbq);

} // namespace data
