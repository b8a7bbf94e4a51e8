#include "app/modGeneral.h"

#include "app/frmsplash.h"
#include "data/databasefile.h"
#include "platform/sysdir.h"
#include "ui/form.h"
#include "ui/msgbox.h"

namespace modGeneral {

QString gSysDir;

bool Main() {
    try {
        gSysDir = QString::fromStdString(platform::GetSystemDirectory());
        const QString connectionString = data::kConnectionHead + gSysDir + data::kDatabaseFile;
        gConn().Open(connectionString, data::kUserId, data::kPassword, data::adOptionUnspecified);
        forms::Get<frmsplash>().Show();
        return true;
    } catch (...) {
        ui::MsgBox("辞典文件丢失！", platform::vbCritical, "数据处理");
        return false;
    }
}

} // namespace modGeneral
