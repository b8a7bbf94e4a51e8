#include "data/odbc/odbcbackend.h"

#include "data/connectionstring.h"
#include "data/enginechoice.h"
#include "data/odbc/odbcrecordset.h"
#include "data/odbc/odbcsession.h"
#include "data/odbc/odbcsql.h"
#include "data/statements.h"

#include <algorithm>
#include <optional>

namespace data::odbc {

namespace {

std::optional<DriverEntry> FindDriver(const QString& name) {
    for (DriverEntry& driver : InstalledDrivers()) {
        if (driver.name.compare(name, Qt::CaseInsensitive) == 0)
            return std::move(driver);
    }
    return std::nullopt;
}

bool NamesDatabase(const QString& connectionString) {
    const QList<ConnectionStringPair> pairs = ConnectionStringPairs(connectionString);
    return std::any_of(pairs.begin(), pairs.end(), [](const ConnectionStringPair& pair) {
        return pair.key.compare(QLatin1String("database"), Qt::CaseInsensitive) == 0 &&
               !pair.value.isEmpty();
    });
}

// Whether the data source has a table of that name (compared without regard to case).
bool HasTable(Session& session, const QString& table) {
    std::unique_ptr<Statement> stmt = session.NewStatement();
    stmt->ListTables();
    while (stmt->Fetch()) {
        // Column 3 of SQLTables is TABLE_NAME.
        if (stmt->Value(2, SQL_WVARCHAR).toString().compare(table, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class OdbcBackend final : public ConnectionBackend {
public:
    explicit OdbcBackend(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    void Execute(const QString& statement) override {
        session_->NewStatement()->Execute(statement);
    }

    // Every cursor reads all rows at Open: a static cursor is the snapshot it promises,
    // and no statement stays open on the connection while its caller writes.
    std::unique_ptr<Recordset> OpenRecordset(const QString& statement, int cursorType,
                                             int lockType) override {
        if (!IsCursorType(cursorType) || !IsLockType(lockType))
            throw WrongCursorOrLock(cursorType, lockType);
        return odbc::OpenRecordset(session_, statement, IsUpdatableLock(lockType));
    }

private:
    std::shared_ptr<Session> session_;
};

} // namespace

bool HasDriver(const QString& name) {
    try {
        return FindDriver(name).has_value();
    } catch (const EngineError&) {
        return false;
    }
}

std::unique_ptr<ConnectionBackend> OpenBackend(const QString& connectionString, const QString& user,
                                               const QString& password) {
    const ConnectionString parsed = ParseConnectionString(connectionString);
    const std::optional<DriverEntry> driver = FindDriver(parsed.driver);
    const bool sqlite = driver && IsSqliteDriver(driver->attributes);
    // SQLite's driver needs a file; given none it fails (and loses memory doing so).
    if (sqlite && parsed.databasePath.isEmpty() && !NamesDatabase(connectionString))
        throw EngineError(QStringLiteral("The connection string names no database file."));
    std::shared_ptr<Session> session =
        Session::Connect(DriverConnectionString(connectionString, user, password, sqlite));
    if (!HasTable(*session, kTable))
        throw EngineError(QStringLiteral("Cannot find the input table '%1' in %2.")
                              .arg(kTable, LocalDatabasePath(parsed.databasePath)));
    return std::make_unique<OdbcBackend>(std::move(session));
}

} // namespace data::odbc

namespace data {
void RegisterOdbcEngine() {
    RegisterOdbc(odbc::HasDriver, odbc::OpenBackend);
}
} // namespace data
