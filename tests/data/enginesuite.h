#pragma once
// The engine cases every engine must pass, run once per engine: tst_engine runs them on
// the embedded engine, tst_odbcengine through ODBC. Each case makes a fresh database
// with the fixture factory the test program gives.

#include "data/engine.h"

#include <QObject>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

// A throw-away shipman.bcd holding the table Thalvane, and a way to reach it behind the
// engine's back.
class EngineFixture {
public:
    virtual ~EngineFixture() = default;
    // A connection opened on the file the way start-up opens gConn.
    virtual std::unique_ptr<data::Connection> connect() = 0;
    // Inserts a row; keys are field names, a missing or null field stores NULL, an "id"
    // entry forces that id. Returns the row's id.
    virtual qint32 insert(const QVariantMap& fields) = 0;
    // Runs one SQL statement through the fixture's own connection.
    virtual void exec(const QString& sql) = 0;
    // The row with that id (fields by name, Null as a null QVariant), if there is one.
    virtual std::optional<QVariantMap> row(qint32 id) = 0;
    virtual int count() = 0;
};

using EngineFixtureFactory = std::function<std::unique_ptr<EngineFixture>()>;

class EngineSuite : public QObject {
    Q_OBJECT
public:
    explicit EngineSuite(EngineFixtureFactory makeFixture) : makeFixture_(std::move(makeFixture)) {}

private slots:
    void textRoundTrip_data();
    void textRoundTrip();
    void nullReadsAsNullAndStaysApartFromEmpty();
    void addNewUpdateGivesTheNewId();
    void updateChangesOnlyTheRowWithThatKey();
    void updateOfADeletedRowFails();
    void executeDeleteRemovesExactlyOneRow();
    void eofRightAfterOpen_data();
    void eofRightAfterOpen();
    void idsAbove32767ReadSaveAndDelete();
    void fieldsAreFoundByNameInAnyCase();
    void textOfAFieldIsItsValueByTheValueRule_data();
    void textOfAFieldIsItsValueByTheValueRule();
    void misuseRaisesWithAMessage();
    void refusedWritesRaiseAndStoreNothing_data();
    void refusedWritesRaiseAndStoreNothing();
    void tableWithoutAColumn();

private:
    EngineFixtureFactory makeFixture_;
};

// Runs the suite with the fixture factory; the body of a test program's main().
int RunEngineSuite(int argc, char** argv, EngineFixtureFactory makeFixture);
