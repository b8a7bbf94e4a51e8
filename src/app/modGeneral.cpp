#include "app/modGeneral.h"

#include "app/frmsplash.h"
#include "data/connectionstring.h"
#include "data/databasefile.h"
#include "platform/console.h"
#include "platform/sysdir.h"
#include "ui/form.h"
#include "ui/msgbox.h"

#include <QDir>
#include <exception>

namespace modGeneral {

QString gSysDir;

namespace {
// The user sees one message whatever went wrong; whoever sets the program up finds the
// file tried and the reason on stderr.
void ReportOpenFailure(const QString& path, const QString& reason) {
    const QString line = QStringLiteral("thalvane: cannot open %1: %2\n")
                             .arg(path.isEmpty() ? QStringLiteral("the database") : path, reason);
    platform::WriteStandard(true, line.toStdString());
}
} // namespace

bool Main() {
    QString path;
    try {
        gSysDir = QString::fromStdString(platform::GetSystemDirectory());
        path = QDir::toNativeSeparators(data::LocalDatabasePath(gSysDir + data::kDatabaseFile));
        const QString connectionString = data::kConnectionHead + gSysDir + data::kDatabaseFile;
        gConn().Open(connectionString, data::kUserId, data::kPassword, data::adOptionUnspecified);
        forms::Get<frmsplash>().Show();
        return true;
    } catch (const data::EngineError& error) {
        ReportOpenFailure(path, data::DescribeFailure(error));
    } catch (const std::exception& error) {
        ReportOpenFailure(path, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ReportOpenFailure(path, QStringLiteral("unknown failure"));
    }
    ui::MsgBox("辞典文件丢失！", platform::vbCritical, "数据处理");
    return false;
}

} // namespace modGeneral
