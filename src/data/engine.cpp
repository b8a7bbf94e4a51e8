#include "data/engine.h"

#include "data/backend.h"

// Connection::Open lives with the engines a program carries (builtinengines.cpp,
// odbconlyengines.cpp); everything else of the connection is here.

namespace data {

namespace {
EngineError ClosedError() {
    return EngineError(QStringLiteral("Operation is not allowed when the object is closed."));
}
} // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

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
