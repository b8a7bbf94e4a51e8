#pragma once
// What a database engine behind Connection provides. The embedded SQLCipher engine is
// one implementation; an ODBC one can sit beside it.

#include "data/engine.h"

namespace data {

class ConnectionBackend {
public:
    virtual ~ConnectionBackend() = default;
    virtual void Execute(const QString& statement) = 0;
    virtual std::unique_ptr<Recordset> OpenRecordset(const QString& statement, int cursorType,
                                                     int lockType) = 0;
};

} // namespace data
