#include "data/engine.h"

#include "data/backend.h"
#include "data/enginechoice.h"

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
    Q_UNUSED(options);
    if (IsOpen())
        throw EngineError(QStringLiteral("Operation is not allowed when the object is open."));
    backend_ = OpenChosenBackend(RegisteredEngines(), connectionString, user, password);
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
