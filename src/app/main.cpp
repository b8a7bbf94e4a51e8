#include "app/form.h"
#include "app/modGeneral.h"
#include "platform/fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program ends when its last window is unloaded (see Form::Unload).
    QApplication::setQuitOnLastWindowClosed(false);
    platform::InstallFontFallbacks();

    if (!modGeneral::Main())
        return 1;
    int status = 0;
    if (!forms::Loaded().empty())
        status = QApplication::exec();
    forms::DestroyAll();
    return status;
}
