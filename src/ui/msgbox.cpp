#include "ui/msgbox.h"

#include <QApplication>
#include <QGridLayout>
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
    case platform::vbExclamation:
        return QMessageBox::Warning;
    case platform::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// A message box sizes itself to its text and leaves its title only 50 pixels beside the
// title's own width: with the window icon and a close button as wide as Windows draws
// them, a short title is cut ("Th…ne"). This widens the box to the title in the title
// bar's font, plus room for the icon (16 pixels and margins), the close button (46) and
// the frame's edges.
void FitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    constexpr int kTitleBarRoom = 32 + 46 + 18;
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    const int width = metrics.horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
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
        FitTitle(box);
        box.exec();
        return box.clickedButton() == yes ? platform::vbYes : platform::vbNo;
    }
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    FitTitle(box);
    box.exec();
    return platform::vbOK;
}

void SetMsgBoxHook(MsgBoxHook h) {
    hook() = std::move(h);
}

} // namespace ui
