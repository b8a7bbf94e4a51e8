#include "app/modGeneral.h"
#include "data/odbc/odbcbackend.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    ui::ChooseEventDispatcher();
    QApplication app(argc, argv);
    // The program ends when its last window is unloaded (see Form::Unload).
    QApplication::setQuitOnLastWindowClosed(false);
    ui::InstallFontFallbacks();
    // Qt's own texts (a text box's context menu, for one) in Chinese, as all the rest.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // The engines this program carries: the ODBC driver manager serves the Access
    // driver where it has one; the embedded engine opens the file otherwise.
    data::RegisterOdbcEngine();
    data::RegisterEmbeddedEngine();

    if (!modGeneral::Main())
        return 1;
    int status = 0;
    if (!forms::Loaded().empty())
        status = QApplication::exec();
    forms::DestroyAll();
    return status;
}
