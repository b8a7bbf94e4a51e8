#pragma once
// What a database engine behind Connection provides. The embedded SQLCipher engine and
// the ODBC engine are the two implementations.

#include "data/engine.h"

#include <functional>

namespace data {

class ConnectionBackend {
public:
    virtual ~ConnectionBackend() = default;
    virtual void Execute(const QString& statement) = 0;
    virtual std::unique_ptr<Recordset> OpenRecordset(const QString& statement, int cursorType,
                                                     int lockType) = 0;
};

// Opens one engine's connection: the connection string as given, the user and the
// password. Throws EngineError.
using BackendOpener = std::function<std::unique_ptr<ConnectionBackend>(
    const QString& connectionString, const QString& user, const QString& password)>;

inline bool IsCursorType(int value) {
    return value >= adOpenUnspecified && value <= adOpenStatic;
}

inline bool IsLockType(int value) {
    return value == adLockUnspecified || (value >= adLockReadOnly && value <= 4);
}

// Pessimistic, optimistic and batch-optimistic locks give an updatable result set.
inline bool IsUpdatableLock(int value) {
    return value >= adLockPessimistic && value <= 4;
}

inline EngineError WrongCursorOrLock(int cursorType, int lockType) {
    return EngineError(QStringLiteral("Arguments are of the wrong type or out of acceptable "
                                      "range: cursor type %1, lock type %2.")
                           .arg(cursorType)
                           .arg(lockType));
}

} // namespace data
