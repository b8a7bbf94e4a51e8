#include "data/sqlcipher/sqlcipherbackend.h"

#include "data/connectionstring.h"
#include "data/enginechoice.h"
#include "data/sqlcipher/sqliterecordset.h"
#include "data/statements.h"

#include <sqlite3.h>

namespace data {

namespace {

bool HasTable(sqlite3* db, const QString& table) {
    sqlite3_stmt* raw = nullptr;
    const char* sql = "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                      "COLLATE NOCASE";
    if (const int rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr); rc != SQLITE_OK)
        throw sqlite::Failure(db, rc);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(raw, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw sqlite::Failure(db, rc);
    return rc == SQLITE_ROW;
}

// Switches the file to write-ahead logging; true when it is in that mode afterwards.
bool UseWriteAheadLog(sqlite3* db) {
    sqlite3_stmt* raw = nullptr;
    if (const int rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode = WAL", -1, &raw, nullptr);
        rc != SQLITE_OK)
        throw sqlite::Failure(db, rc);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    if (const int rc = sqlite3_step(raw); rc != SQLITE_ROW)
        throw sqlite::Failure(db, rc);
    const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
    return mode && QByteArray(mode).compare("wal", Qt::CaseInsensitive) == 0;
}

} // namespace

std::unique_ptr<ConnectionBackend>
OpenEmbeddedBackend(const QString& connectionString, const QString& user, const QString& password) {
    Q_UNUSED(user);
    const ConnectionString parsed = ParseConnectionString(connectionString);
    if (!IsAccessDriver(parsed.driver))
        throw EngineError(QStringLiteral("Data source name not found and no default driver "
                                         "specified: '%1'.")
                              .arg(parsed.driver));
    const QString path = LocalDatabasePath(parsed.databasePath);
    if (path.isEmpty())
        throw EngineError(QStringLiteral("The connection string names no database file."));
    return SqlCipherBackend::Open(path, password.toUtf8());
}

void RegisterEmbeddedEngine() {
    RegisterEmbedded(OpenEmbeddedBackend);
}

std::unique_ptr<SqlCipherBackend> SqlCipherBackend::Open(const QString& path,
                                                         const QByteArray& password) {
    sqlite::HandlePtr main = sqlite::OpenKeyed(path, password);
    // A keyed empty file reads as an empty database, so the table is checked explicitly.
    if (!HasTable(main->get(), kTable))
        throw EngineError(
            QStringLiteral("Cannot find the input table '%1' in %2.").arg(kTable, path));
    // The log lets a save go ahead while a search still reads; a read-only file keeps the
    // journal mode it has.
    const bool wal = !main->ReadOnly() && UseWriteAheadLog(main->get());
    auto readers = std::make_shared<sqlite::ReaderPool>(path, password);
    if (wal) {
        // Keying a handle derives the key from the password, which takes tens of
        // milliseconds: the first search's reader is keyed now, while the program starts,
        // not while the user waits for the search. A reader that cannot be opened now is
        // tried again, and its failure told, by the search.
        try {
            readers->Give(readers->Take());
        } catch (const EngineError&) {
        }
    }
    return std::unique_ptr<SqlCipherBackend>(
        new SqlCipherBackend(std::move(main), std::move(readers), wal));
}

void SqlCipherBackend::Execute(const QString& statement) {
    sqlite3* db = main_->get();
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(sqlite::PrepareOne(db, statement),
                                                               sqlite3_finalize);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw sqlite::Failure(db, rc);
}

std::unique_ptr<Recordset> SqlCipherBackend::OpenRecordset(const QString& statement, int cursorType,
                                                           int lockType) {
    if (!IsCursorType(cursorType) || !IsLockType(lockType))
        throw WrongCursorOrLock(cursorType, lockType);
    if (IsUpdatableLock(lockType))
        return sqlite::OpenBuffered(main_, statement, true);
    if (cursorType == adOpenStatic) {
        if (!wal_)
            return sqlite::OpenBuffered(main_, statement, false);
        sqlite::HandlePtr reader = readers_->Take();
        try {
            return sqlite::OpenStreaming(reader, statement, readers_);
        } catch (...) {
            readers_->Give(reader);
            throw;
        }
    }
    return sqlite::OpenStreaming(main_, statement);
}

} // namespace data
