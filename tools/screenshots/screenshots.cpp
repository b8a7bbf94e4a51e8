// thalvane-screenshots DIR: starts the program on a fresh demo database and saves a PNG
// of each window into DIR (frmsplash, frmmain, frmquery, frminfo, frmAbout). It draws
// offscreen unless QT_QPA_PLATFORM names another platform (e.g. xcb under Xvfb).

#include "about/frmAbout.h"
#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "app/modGeneral.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "dbbuilder.h"
#include "platform/sysdir.h"
#include "record/frminfo.h"
#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void Settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& window, const QDir& dir, const char* name) {
    Settle();
    const QString file = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ui::InstallFontFallbacks();
    data::RegisterEmbeddedEngine();
    if (argc != 2) {
        std::fprintf(stderr, "usage: thalvane-screenshots DIR\n");
        return 2;
    }
    const QDir out(QCoreApplication::arguments().at(1));
    if (!QDir().mkpath(out.path()))
        return 1;
    try {
        QTemporaryDir temp;
        dbbuilder::BuildDatabaseFile(temp.path() + QStringLiteral("/shipman.bcd"), std::nullopt,
                                     true);
        platform::SetSystemDirectoryOverride(temp.path().toStdString());
        if (!modGeneral::Main())
            return 1;

        bool ok = Save(forms::Get<frmsplash>(), out, "frmsplash");
        frmsplash& splash = forms::Get<frmsplash>();
        splash.Timer1_Timer();
        splash.Timer1_Timer();

        frmmain& menu = forms::Get<frmmain>();
        menu.Label1_MouseMove(3);
        ok = Save(menu, out, "frmmain") && ok;

        frmquery& query = forms::Get<frmquery>();
        query.Show();
        query.Text1->setText(QStringLiteral("远洋"));
        query.RunQuery();
        ok = Save(query, out, "frmquery") && ok;

        frminfo& info = forms::Get<frminfo>();
        info.shipId = query.Grid->TextMatrix(1, 5).toInt();
        info.Show();
        ok = Save(info, out, "frminfo") && ok;

        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        ok = Save(about, out, "frmAbout") && ok;

        forms::DestroyAll();
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "thalvane-screenshots: %s\n", e.what());
        return 1;
    }
}
