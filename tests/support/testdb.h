#pragma once
// A throw-away shipman.bcd for tests: a temporary folder (its name holds Chinese
// characters and a space) with the database file keyed with the program's password and
// the table Thalvane as the demo builder makes it, empty unless rows are asked for.
//
// The fixture reaches the file through its own SQLCipher handle, so a test can prepare
// rows and break the database (triggers, a table without a column) behind the engine's
// back. Every method throws dbbuilder::BuildError on failure.

#include "data/engine.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>
#include <memory>
#include <optional>

namespace dbbuilder {
class Database;
}

namespace testsupport {

class TestDatabase {
public:
    // An empty table, or syntheticRows synthetic shipowners (ids 1..syntheticRows), in a new
    // folder inside `parent` (the system's temporary folder unless given).
    explicit TestDatabase(qint32 syntheticRows = 0, const QString& parent = QString());
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // The folder holding the file, with '/' separators and no trailing separator.
    QString dir() const;
    // The file itself.
    QString path() const;
    // "Driver={microsoft access driver (*.mdb)};dbq=" + dir() + "\shipman.bcd", as
    // start-up forms it.
    QString connectionString() const;

    // A connection opened on the file the way start-up opens gConn.
    std::unique_ptr<data::Connection> connect() const;

    // Inserts a row; keys are field names, a missing or null field stores NULL, an "id"
    // entry forces that id. Returns the row's id.
    qint32 insert(const QVariantMap& fields);
    // Adds the builder's sample shipowners.
    void insertSamples();
    // Adds count synthetic shipowners in one transaction.
    void insertSynthetic(qint32 count);
    // Runs SQL through the fixture's own handle.
    void exec(const QString& sql);
    // Closes the fixture's own handle (the last close applies and removes the log); the
    // other methods but dir() and path() are unusable afterwards.
    void close();
    // The row with that id (fields by name, Null as a null QVariant), if there is one.
    std::optional<QVariantMap> row(qint32 id);
    // Number of rows in Thalvane.
    int count();
    // A field exactly as stored: its type and its bytes in hex, as "text:610A62".
    QString stored(qint32 id, const QString& field);

private:
    QTemporaryDir folder_;
    std::unique_ptr<dbbuilder::Database> db_;
};

} // namespace testsupport
