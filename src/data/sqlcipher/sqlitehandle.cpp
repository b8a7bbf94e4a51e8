#include "data/sqlcipher/sqlitehandle.h"

#include "data/engine.h"
#include "data/sqlcipher/cipher.h"
#include "data/sqlcipher/foldlike.h"

#include "platform/fileaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>
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

bool Handle::ReadOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

namespace {

FailureKind KindOf(sqlite3* db, int rc, const QString& message) {
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FailureKind::Busy;
    case SQLITE_READONLY:
        return FailureKind::ReadOnly;
    case SQLITE_FULL:
        return FailureKind::DiskFull;
    case SQLITE_IOERR: {
        // A full disk often shows as an I/O error (growing the shared-memory file, for
        // one); the system's own error code tells the two apart.
        const int system = db ? sqlite3_system_errno(db) : 0;
#ifdef _WIN32
        const bool full = system == 112 || system == 39; // ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL
#else
        const bool full = system == ENOSPC;
#endif
        return full ? FailureKind::DiskFull : FailureKind::IoError;
    }
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return FailureKind::Damaged;
    case SQLITE_ERROR:
        if (message.startsWith(QLatin1String("no such column")))
            return FailureKind::ColumnMissing;
        return FailureKind::Other;
    default:
        return FailureKind::Other;
    }
}

// A URI naming the file for a read-only open that neither locks it nor makes a
// write-ahead log or shared-memory file beside it.
QByteArray ImmutableUri(const QString& path) {
    QByteArray uri = QUrl::toPercentEncoding(QDir::fromNativeSeparators(path), "/:");
    uri.prepend(uri.startsWith('/') ? "file:" : "file:///");
    return uri + "?immutable=1";
}

// True when the write-ahead log beside the file holds changes (more than its header) that a
// reader without write access could not apply.
bool HasUnappliedLog(const QString& path) {
    constexpr qint64 kLogHeaderBytes = 32;
    return QFileInfo(path + QStringLiteral("-wal")).size() > kLogHeaderBytes;
}

bool CanWrite(const QString& path) {
    return platform::CanWrite(path.toStdString());
}

} // namespace

QByteArray FileName(const QString& path) {
#ifdef _WIN32
    return QDir::toNativeSeparators(path).toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

EngineError Failure(sqlite3* db, int rc, const QString& context) {
    // The connection's message belongs to its last call. When a call since has replaced
    // it (it then says "not an error", or speaks of another failure), the code's own
    // text tells what happened.
    const bool messageIsRcs = db && (sqlite3_errcode(db) & 0xff) == (rc & 0xff);
    const QString engine = messageIsRcs ? QString::fromUtf8(sqlite3_errmsg(db))
                                        : QString::fromUtf8(sqlite3_errstr(rc));
    const QString message = context.isEmpty() ? engine : context + QStringLiteral(": ") + engine;
    return EngineError(message, KindOf(db, rc, engine));
}

HandlePtr OpenKeyed(const QString& path, const QByteArray& password) {
    // Opening without SQLITE_OPEN_CREATE never makes a file; the explicit test also keeps
    // a folder from being taken for a database.
    const QFileInfo info(path);
    if (!info.exists())
        throw EngineError(QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isFile())
        throw EngineError(QStringLiteral("'%1' is not a database file.").arg(path));

    // A file that this user may not change, or whose folder takes no new files, is read
    // as it lies: nothing is written to it or created beside it. Its log, if an earlier
    // run left one with changes in it, cannot be applied without writing.
    const bool writable = CanWrite(path) && CanWrite(info.absolutePath());
    if (!writable && HasUnappliedLog(path))
        throw EngineError(QStringLiteral("'%1-wal' holds changes that cannot be applied to a "
                                         "read-only database.")
                              .arg(path),
                          FailureKind::ReadOnly);

    // A handle is used by one thread at a time (a connection and its result sets live on
    // the thread that opened them), so the engine need not lock it around every call.
    sqlite3* raw = nullptr;
    const int rc =
        writable ? sqlite3_open_v2(FileName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
                 : sqlite3_open_v2(ImmutableUri(path).constData(), &raw,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    auto handle = std::make_shared<Handle>(raw);
    if (rc != SQLITE_OK)
        throw Failure(raw, rc, path);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    if (const int keyed = cipher::ApplyKey(raw, password); keyed != SQLITE_OK)
        throw Failure(raw, keyed, path);
    // The key is only tried on the first read: a wrong password or a file that is no
    // database fails here, as does a disk that cannot be read.
    if (const int read =
            sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        read != SQLITE_OK) {
        EngineError failure = Failure(raw, read);
        if (failure.kind() == FailureKind::Damaged)
            throw EngineError(QStringLiteral("Not a valid password, or not a database: %1")
                                  .arg(failure.message()),
                              FailureKind::Damaged);
        const QString what = failure.kind() == FailureKind::DiskFull
                                 ? QStringLiteral("the disk is full (%1)").arg(failure.message())
                                 : failure.message();
        throw EngineError(QStringLiteral("Cannot read '%1': %2").arg(path, what), failure.kind());
    }
    if (const int like = RegisterLike(raw); like != SQLITE_OK)
        throw Failure(raw, like, QStringLiteral("like"));
    return handle;
}

sqlite3_stmt* PrepareOne(sqlite3* db, const QString& statement) {
    const QByteArray text = statement.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, &tail);
        rc != SQLITE_OK) {
        EngineError failure = Failure(db, rc);
        sqlite3_finalize(stmt);
        throw failure;
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
