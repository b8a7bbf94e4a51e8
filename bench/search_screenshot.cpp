// thalvane-search-screenshot FILE.png: the search window after a search over the demo
// builder's sample shipowners, drawn offscreen (for the documentation).

#include "app/form.h"
#include "app/modGeneral.h"
#include "dbbuilder.h"
#include "platform/fonts.h"
#include "search/frmquery.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    platform::InstallFontFallbacks();
    if (argc != 2) {
        std::fprintf(stderr, "usage: thalvane-search-screenshot FILE.png\n");
        return 2;
    }
    try {
        QTemporaryDir temp;
        const QString path = temp.path() + QStringLiteral("/shipman.bcd");
        dbbuilder::BuildDatabaseFile(path, std::nullopt, true);
        modGeneral::gConn().Open(QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=") +
                                     temp.path() + QStringLiteral("\\shipman.bcd"),
                                 QString(), QString::fromLatin1(dbbuilder::kPassword));
        frmquery& w = forms::Get<frmquery>();
        w.Show();
        w.RunQuery();
        QCoreApplication::processEvents();
        const bool saved = w.grab().save(QString::fromLocal8Bit(argv[1]));
        forms::DestroyAll();
        if (!saved) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "thalvane-search-screenshot: %s\n", e.what());
        return 1;
    }
}
