#pragma once
// Creating shipman.bcd: the keyed file, the table Thalvane and its rows. Used by the
// thalvane-admin tool and by the test fixtures.

#include "data/databasefile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>
#include <stdexcept>

struct sqlite3;

namespace dbbuilder {

class BuildError : public std::runtime_error {
public:
    explicit BuildError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// One keyed SQLCipher handle on a database file. Every failure throws BuildError.
class Database {
public:
    // Creates a new file holding the empty table. Fails if anything exists at path.
    static Database Create(const QString& path,
                           const QByteArray& password = data::kPassword.toUtf8());
    // Opens an existing file (never creates one).
    static Database OpenExisting(const QString& path,
                                 const QByteArray& password = data::kPassword.toUtf8());

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Runs one or more statements.
    void exec(const QString& sql);
    // Inserts one row. Keys are field names; a missing or null value stores NULL. An
    // "id" entry gives the row that id, otherwise the database picks it. Returns the id.
    qint32 insert(const QVariantMap& fields);
    // Inserts all rows in one transaction.
    void insertAll(const QList<QVariantMap>& rows);
    // Inserts count synthetic shipowners in one transaction.
    void insertSynthetic(qint32 count);
    // The row with that id, fields by name (Null as a null QVariant).
    std::optional<QVariantMap> row(qint32 id) const;
    // Number of rows of the table.
    int count() const;

    sqlite3* handle() const { return db_; }

private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_ = nullptr;
};

// The fictional sample shipowners committed with the builder.
QList<QVariantMap> SampleShipowners();

// Parses the sample file's JSON: an array of objects keyed by field name.
QList<QVariantMap> ParseShipowners(const QByteArray& json);

// Writes a new database file at path: with count synthetic rows when given, otherwise with
// the sample shipowners. Refuses to replace an existing file unless overwrite is set. The
// file appears only when it is complete.
void BuildDatabaseFile(const QString& path, std::optional<qint32> syntheticCount, bool overwrite);

} // namespace dbbuilder
