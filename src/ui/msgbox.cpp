#include "ui/msgbox.h"

#include <QMessageBox>
#include <QPushButton>
#include <thalvane/version.h>

namespace ui {
namespace {

MsgBoxHook& hook() {
    static MsgBoxHook h;
    return h;
}

QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case platform::vbCritical:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case platform::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MsgBox(const std::string& text, int style, const std::string& title) {
    platform::MsgBoxCall call{text, title.empty() ? std::string(THALVANE_APP_TITLE) : title, style};
    if (hook())
        return hook()(call);

    QMessageBox box(iconFor(style), QString::fromStdString(call.title),
                    QString::fromStdString(call.text));
    if ((style & 0x0F) == platform::vbYesNo) {
        // The user interface is Chinese whatever the system's language.
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? platform::vbYes : platform::vbNo;
    }
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return platform::vbOK;
}

void SetMsgBoxHook(MsgBoxHook h) {
    hook() = std::move(h);
}

} // namespace ui
