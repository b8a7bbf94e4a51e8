#include "data/enginechoice.h"

#include "data/connectionstring.h"

#include <map>

namespace data {

namespace {

// The program has one thread; so has this state.
struct ChoiceState {
    EngineSet registered;
    DriverQuery testQuery;
    std::map<QString, Engine> chosen; // by case-folded driver name
    std::optional<Engine> lastOpen;
};

ChoiceState& State() {
    static ChoiceState state;
    return state;
}

bool Ask(const DriverQuery& query, const QString& driver) {
    if (!query || driver.isEmpty())
        return false;
    try {
        return query(driver);
    } catch (...) {
        return false; // no usable driver manager: the embedded engine serves
    }
}

} // namespace

Engine ChooseEngine(const QString& driver, const DriverQuery& driverManager) {
    ChoiceState& state = State();
    const QString key = driver.toCaseFolded();
    if (const auto it = state.chosen.find(key); it != state.chosen.end())
        return it->second;
    const DriverQuery& query = state.testQuery ? state.testQuery : driverManager;
    const Engine engine = Ask(query, driver) ? Engine::Odbc : Engine::Embedded;
    state.chosen.emplace(key, engine);
    return engine;
}

std::unique_ptr<ConnectionBackend> OpenChosenBackend(const EngineSet& engines,
                                                     const QString& connectionString,
                                                     const QString& user, const QString& password) {
    const QString driver = ParseConnectionString(connectionString).driver;
    const Engine engine =
        engines.odbc ? ChooseEngine(driver, engines.odbcHasDriver) : Engine::Embedded;
    State().lastOpen = engine;
    const BackendOpener& open = engine == Engine::Odbc ? engines.odbc : engines.embedded;
    if (!open)
        throw EngineError(QStringLiteral("Data source name not found and no default driver "
                                         "specified: '%1'.")
                              .arg(driver));
    return open(connectionString, user, password);
}

void RegisterEmbedded(BackendOpener open) {
    State().registered.embedded = std::move(open);
}

void RegisterOdbc(DriverQuery hasDriver, BackendOpener open) {
    State().registered.odbcHasDriver = std::move(hasDriver);
    State().registered.odbc = std::move(open);
}

const EngineSet& RegisteredEngines() {
    return State().registered;
}

void SetDriverQueryForTesting(DriverQuery query) {
    ChoiceState& state = State();
    state.testQuery = std::move(query);
    state.chosen.clear();
    state.lastOpen.reset();
}

std::optional<Engine> EngineOfLastOpen() {
    return State().lastOpen;
}

} // namespace data
