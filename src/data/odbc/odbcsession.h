#pragma once
// ODBC handles for the ODBC engine: a session (environment and connection) and the
// statements run on it. Every failure throws EngineError with the driver's diagnostics.
//
// Text crosses the API as UTF-16 through the wide functions on Windows, and as UTF-8
// through the narrow ones elsewhere: unixODBC's drivers (SQLite's among them) commonly
// offer only the narrow functions, and the driver manager's conversion from the wide ones
// loses every character outside Latin-1.

#include "data/engine.h"
#include "data/odbc/odbcapi.h"

#include <QString>
#include <QVariant>
#include <deque>
#include <memory>
#include <vector>

namespace data::odbc {

// Owns one handle; freed on destruction.
class Handle {
public:
    Handle(SQLSMALLINT type, SQLHANDLE parent);
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }

private:
    SQLSMALLINT type_;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// The diagnostic records of a handle: their messages one per line, and the SQLSTATE of the
// first.
struct Diagnostics {
    QString message;
    QString state;
};
Diagnostics ReadDiagnostics(const Handle& handle);

// Throws EngineError with the handle's diagnostics unless rc is a success.
void Check(SQLRETURN rc, const Handle& handle);

// The drivers the driver manager has: name and "key=value" attributes.
struct DriverEntry {
    QString name;
    QStringList attributes;
};
std::vector<DriverEntry> InstalledDrivers();

class Statement;

// One connection made with SQLDriverConnect, and what its driver says about itself.
class Session : public std::enable_shared_from_this<Session> {
public:
    static std::shared_ptr<Session> Connect(const QString& connectionString);
    ~Session();

    const Handle& dbc() const { return *dbc_; }
    // SQL_DBMS_NAME, e.g. "ACCESS" or "SQLite".
    const QString& dbmsName() const { return dbmsName_; }
    // A table or column name quoted as the driver wants it.
    QString Quoted(const QString& name) const;
    std::unique_ptr<Statement> NewStatement();

private:
    Session() = default;
    std::unique_ptr<Handle> env_;
    std::unique_ptr<Handle> dbc_;
    QString dbmsName_;
    QString quote_;
    bool connected_ = false;
};

// A result column as the driver describes it.
struct Column {
    QString name;
    SQLSMALLINT sqlType = SQL_UNKNOWN_TYPE;
    QString baseTable;  // empty when the driver does not say
    QString baseColumn; // empty when the driver does not say
    bool autoUnique = false;
};

// One statement handle; keeps the session alive.
class Statement {
public:
    explicit Statement(std::shared_ptr<Session> session);

    // Parameters, bound in order 1, 2, … The values stay with the statement.
    void BindValue(const QVariant& value, bool longText = false);
    // Runs the text with the bound parameters. A statement that changes no row is not
    // a failure.
    void Execute(const QString& sql);
    // Rows changed by the last Execute (0 when it changed none).
    qint64 RowsChanged() const { return rowsChanged_; }

    // The tables of the data source (SQLTables, table type TABLE) as a result.
    void ListTables();

    std::vector<Column> Columns() const;
    bool Fetch();
    // The current row's value of column (0-based) as the engine reports values: Null as
    // a null QVariant, integers as numbers, text as a (possibly empty) string.
    QVariant Value(int column, SQLSMALLINT sqlType);
    // All remaining rows.
    std::vector<std::vector<QVariant>> FetchAll(const std::vector<Column>& columns);

    const Handle& handle() const { return stmt_; }

private:
    std::shared_ptr<Session> session_;
    Handle stmt_;
    std::deque<QByteArray> bytes_; // text in the API's encoding, and binary values
    std::deque<SQLINTEGER> smallIntegers_;
    std::deque<qint64> integers_;
    std::deque<double> doubles_;
    std::deque<SQLLEN> lengths_;
    SQLUSMALLINT bound_ = 0;
    qint64 rowsChanged_ = 0;
};

} // namespace data::odbc
