#pragma once
// The embedded engine: an SQLCipher file keyed with the connection's password.

#include "data/backend.h"
#include "data/sqlcipher/sqlitehandle.h"

namespace data {

class SqlCipherBackend final : public ConnectionBackend {
public:
    // Opens an existing file holding the table Thalvane; never creates anything. Throws
    // EngineError when the file is missing, a folder, not a database, keyed with another
    // password or without the table.
    static std::unique_ptr<SqlCipherBackend> Open(const QString& path, const QByteArray& password);

    void Execute(const QString& statement) override;
    // Updatable lock types give a buffered, updatable result set; a static cursor gives a
    // snapshot of the rows as they are at Open; anything else reads rows as it goes.
    std::unique_ptr<Recordset> OpenRecordset(const QString& statement, int cursorType,
                                             int lockType) override;

private:
    SqlCipherBackend(sqlite::HandlePtr main, std::shared_ptr<sqlite::ReaderPool> readers, bool wal)
        : main_(std::move(main)), readers_(std::move(readers)), wal_(wal) {}

    sqlite::HandlePtr main_;
    // Static result sets read on handles of their own: in write-ahead-log mode a read on
    // another handle keeps seeing the file as it was when it started.
    std::shared_ptr<sqlite::ReaderPool> readers_;
    bool wal_;
};

// Opens the embedded engine for a connection string that names the Access driver and the
// file in dbq; the user is not used. Throws EngineError.
std::unique_ptr<ConnectionBackend>
OpenEmbeddedBackend(const QString& connectionString, const QString& user, const QString& password);

// Makes the embedded engine one of the engines Connection::Open may use.
void RegisterEmbeddedEngine();

} // namespace data
