#include "data/sqlcipher/sqlitehandle.h"

#include "data/engine.h"
#include "data/sqlcipher/cipher.h"
#include "data/sqlcipher/foldlike.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <sqlite3.h>

namespace data::sqlite {

namespace {
constexpr int kBusyTimeoutMs = 5000;
constexpr std::size_t kMaxIdleReaders = 2;
} // namespace

Handle::~Handle() {
    sqlite3_close_v2(db_);
}

QString ErrorText(sqlite3* db, const QString& context) {
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    return context.isEmpty() ? message : context + QStringLiteral(": ") + message;
}

HandlePtr OpenKeyed(const QString& path, const QByteArray& password) {
    // Opening without SQLITE_OPEN_CREATE never makes a file; the explicit test also keeps
    // a folder from being taken for a database.
    const QFileInfo info(path);
    if (!info.exists())
        throw EngineError(QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isFile())
        throw EngineError(QStringLiteral("'%1' is not a database file.").arg(path));

    sqlite3* raw = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    auto handle = std::make_shared<Handle>(raw);
    if (rc != SQLITE_OK)
        throw EngineError(ErrorText(raw, path));
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    if (cipher::ApplyKey(raw, password) != SQLITE_OK)
        throw EngineError(ErrorText(raw, path));
    // The key is only tried on the first read: a wrong password or a file that is no
    // database fails here.
    if (sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        throw EngineError(
            QStringLiteral("Not a valid password, or not a database: %1").arg(ErrorText(raw)));
    if (RegisterLike(raw) != SQLITE_OK)
        throw EngineError(ErrorText(raw, QStringLiteral("like")));
    return handle;
}

sqlite3_stmt* PrepareOne(sqlite3* db, const QString& statement) {
    const QByteArray text = statement.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, &tail) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw EngineError(ErrorText(db));
    }
    if (!stmt)
        throw EngineError(QStringLiteral("The statement is empty."));
    for (const char* p = tail; p && p < text.constData() + text.size(); ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';') {
            sqlite3_finalize(stmt);
            throw EngineError(QStringLiteral("Characters found after end of SQL statement."));
        }
    }
    return stmt;
}

QVariant IntegerValue(qint64 value) {
    if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max())
        return QVariant(qint32(value));
    return QVariant(value);
}

QVariant ColumnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return IntegerValue(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(bytes, sqlite3_column_bytes(stmt, column)));
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const int size = sqlite3_column_bytes(stmt, column);
        if (size == 0)
            return QVariant(QStringLiteral(""));
        return QVariant(QString::fromUtf8(text, size));
    }
    }
}

HandlePtr ReaderPool::Take() {
    if (!idle_.empty()) {
        HandlePtr handle = std::move(idle_.back());
        idle_.pop_back();
        return handle;
    }
    HandlePtr handle = OpenKeyed(path_, password_);
    // A snapshot reader never writes.
    sqlite3_exec(handle->get(), "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    return handle;
}

void ReaderPool::Give(HandlePtr handle) {
    if (idle_.size() < kMaxIdleReaders)
        idle_.push_back(std::move(handle));
}

} // namespace data::sqlite
