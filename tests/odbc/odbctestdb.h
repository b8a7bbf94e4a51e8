#pragma once
// A throw-away shipman.bcd for the ODBC tests: a plain SQLite file, made and reached
// through SQLite's ODBC driver, which the tests register under the Access driver's name
// ("microsoft access driver (*.mdb)", see odbcinst.ini.in). It sits in a temporary folder
// whose name holds Chinese characters and a space, and holds the table Thalvane as the
// demo builder makes it. Every method throws data::EngineError on failure.

#include "data/odbc/odbcsession.h"
#include "enginesuite.h"

#include <QTemporaryDir>

namespace odbctest {

inline const QString kDriver = QStringLiteral("microsoft access driver (*.mdb)");

class OdbcTestDatabase final : public EngineFixture {
public:
    OdbcTestDatabase();

    // The folder holding the file, with '/' separators and no trailing separator.
    QString dir() const;
    QString path() const;
    // "Driver={microsoft access driver (*.mdb)};dbq=" + dir() + "\shipman.bcd", as
    // start-up forms it.
    QString connectionString() const;

    std::unique_ptr<data::Connection> connect() override;
    qint32 insert(const QVariantMap& fields) override;
    void exec(const QString& sql) override;
    std::optional<QVariantMap> row(qint32 id) override;
    int count() override;

private:
    QTemporaryDir folder_;
    std::shared_ptr<data::odbc::Session> session_;
};

// Names and sizes of everything in a folder.
QStringList Listing(const QString& dir);

} // namespace odbctest
