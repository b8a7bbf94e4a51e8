#include "data/sharedconnection.h"

#include <memory>

namespace modGeneral {

namespace {
std::unique_ptr<data::Connection>& connection() {
    static std::unique_ptr<data::Connection> conn;
    return conn;
}
} // namespace

data::Connection& gConn() {
    if (!connection())
        connection() = std::make_unique<data::Connection>();
    return *connection();
}

void ResetConnection() {
    connection().reset();
}

} // namespace modGeneral
