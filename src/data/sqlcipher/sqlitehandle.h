#pragma once
// Keyed SQLCipher handles shared by the embedded engine's connection and its result sets.

#include <QByteArray>
#include <QString>
#include <QVariant>

#include "data/engine.h"
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace data::sqlite {

// Owns one handle; closed when the last owner lets go, so that a result set outliving its
// connection stays valid.
class Handle {
public:
    explicit Handle(sqlite3* db) : db_(db) {}
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    sqlite3* get() const { return db_; }
    bool ReadOnly() const;

private:
    sqlite3* db_;
};
using HandlePtr = std::shared_ptr<Handle>;

// The name of a file as SQLite takes it: UTF-8, on Windows too, where the system's
// narrow code page would lose every character outside it.
QByteArray FileName(const QString& path);

// The failure a call on db returned (rc), with the engine's message, prefixed by what was
// being done. Read it right after the failing call: later calls replace the message.
EngineError Failure(sqlite3* db, int rc, const QString& context = QString());

// Opens an existing database file (never creating one), keys it and checks that the key
// reads it. A file this user may not write, or whose folder takes no new files, is opened
// read-only as an unchanging file; anything else read-write. Throws EngineError.
HandlePtr OpenKeyed(const QString& path, const QByteArray& password);

// Prepares exactly one statement; a second statement in the text is refused. Throws
// EngineError.
sqlite3_stmt* PrepareOne(sqlite3* db, const QString& statement);

// An integer as a 32-bit value when it fits, otherwise 64-bit.
QVariant IntegerValue(qint64 value);

// The value of a column of the current row; SQL NULL gives a null QVariant.
QVariant ColumnValue(sqlite3_stmt* stmt, int column);

// Idle handles for snapshot reads, reused so that the key is derived only once.
class ReaderPool {
public:
    ReaderPool(QString path, QByteArray password)
        : path_(std::move(path)), password_(std::move(password)) {}
    HandlePtr Take();
    void Give(HandlePtr handle);

private:
    QString path_;
    QByteArray password_;
    std::vector<HandlePtr> idle_;
};

} // namespace data::sqlite
