#include "app/modGeneral.h"

#include "app/form.h"
#include "app/frmsplash.h"
#include "platform/msgbox.h"
#include "platform/sysdir.h"

#include <memory>

namespace modGeneral {

QString gSysDir;

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

bool Main() {
    try {
        gSysDir = QString::fromStdString(platform::GetSystemDirectory());
        const QString connectionString = kConnectionHead + gSysDir + kDatabaseFile;
        gConn().Open(connectionString, kUserId, kPassword, data::adOptionUnspecified);
        forms::Get<frmsplash>().Show();
        return true;
    } catch (...) {
        platform::MsgBox("辞典文件丢失！", platform::vbCritical, "数据处理");
        return false;
    }
}

} // namespace modGeneral
