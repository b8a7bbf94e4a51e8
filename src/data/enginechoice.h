#pragma once
// Which engine serves a connection: the ODBC driver manager when it has a driver of the
// name the connection string gives, the embedded engine otherwise. Decided the first time
// a driver name is opened and kept for the rest of the run.
//
// A program says which engines it carries before its first Open, by calling the
// registration of each engine library it links (data/sqlcipher/sqlcipherbackend.h,
// data/odbc/odbcbackend.h). An engine that was not registered is never used.

#include "data/backend.h"

#include <optional>

namespace data {

enum class Engine { Embedded, Odbc };

// True when the ODBC driver manager has a driver of this name (compared without regard
// to case).
using DriverQuery = std::function<bool(const QString& driver)>;

// The engines a program carries; an engine it lacks is left empty.
struct EngineSet {
    DriverQuery odbcHasDriver;
    BackendOpener odbc;
    BackendOpener embedded;
};

// Adds an engine to the ones this program carries (called by the engines'
// registrations). Registering the same engine again replaces it.
void RegisterEmbedded(BackendOpener open);
void RegisterOdbc(DriverQuery hasDriver, BackendOpener open);
// The engines registered so far.
const EngineSet& RegisteredEngines();

// The engine for a driver name. The question goes to the driver manager (or the test's
// query) once per driver name; later calls give the same answer.
Engine ChooseEngine(const QString& driver, const DriverQuery& driverManager);

// Opens the chosen engine's backend for the connection string. Throws EngineError.
std::unique_ptr<ConnectionBackend> OpenChosenBackend(const EngineSet& engines,
                                                     const QString& connectionString,
                                                     const QString& user, const QString& password);

// For tests: answers whether the driver manager has a driver, in its place, and forgets
// every choice made so far. An empty query hands the question back to the driver manager.
void SetDriverQueryForTesting(DriverQuery query);

// For tests: the engine that served (or refused) the latest Open in this process.
std::optional<Engine> EngineOfLastOpen();

} // namespace data
