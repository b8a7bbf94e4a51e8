#pragma once
// The program's one shared connection, gConn of the shared module: start-up opens it,
// the search and record windows use it.

#include "data/engine.h"

namespace modGeneral {

// The shared connection, created on first use.
data::Connection& gConn();
// Drops the shared connection (tests), so that the next use creates a fresh one.
void ResetConnection();

} // namespace modGeneral
