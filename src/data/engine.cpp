#include "data/engine.h"

#include "data/backend.h"
#include "data/connectionstring.h"
#include "data/sqlcipherbackend.h"

namespace data {

namespace {
EngineError ClosedError() {
    return EngineError(QStringLiteral("Operation is not allowed when the object is closed."));
}
} // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const QString& connectionString, const QString& user, const QString& password,
                      int options) {
    Q_UNUSED(user);
    Q_UNUSED(options);
    if (backend_)
        throw EngineError(QStringLiteral("Operation is not allowed when the object is open."));
    const ConnectionString parsed = ParseConnectionString(connectionString);
    if (!IsAccessDriver(parsed.driver))
        throw EngineError(QStringLiteral("Data source name not found and no default driver "
                                         "specified: '%1'.")
                              .arg(parsed.driver));
    const QString path = LocalDatabasePath(parsed.databasePath);
    if (path.isEmpty())
        throw EngineError(QStringLiteral("The connection string names no database file."));
    backend_ = SqlCipherBackend::Open(path, password.toUtf8());
}

bool Connection::IsOpen() const {
    return backend_ != nullptr;
}

void Connection::Close() {
    backend_.reset();
}

void Connection::Execute(const QString& statement, int options) {
    Q_UNUSED(options);
    if (!backend_)
        throw ClosedError();
    backend_->Execute(statement);
}

std::unique_ptr<Recordset> Connection::OpenRecordset(const QString& statement, int cursorType,
                                                     int lockType, int options) {
    Q_UNUSED(options);
    if (!backend_)
        throw ClosedError();
    return backend_->OpenRecordset(statement, cursorType, lockType);
}

} // namespace data
