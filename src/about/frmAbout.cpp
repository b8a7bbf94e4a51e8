#include "about/frmAbout.h"

#include "about/sysinfo/sysinfo.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "ui/msgbox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <thalvane/version.h>

namespace {

const QString kDesignCaption = QStringLiteral("关于[Thalvane]");
const QString kDesignTitle = QStringLiteral("应用程序标题");
const QString kDesignVersion = QStringLiteral("版本 V1.0");

const QString kDescription =
    QStringLiteral(THALVANE_APP_TITLE) +
    QStringLiteral("：本名录收录本社工作人员收集整理的国内外船东及本社会员船东信息，"
                   "详列国内散货、集装箱及其他船东的资料，包括公司简介、联系方式、"
                   "电子邮箱等，助您开拓更广阔的业务渠道。");
const QString kDisclaimer =
    QStringLiteral("警告：本软件受著作权法保护，未经授权，不得复制、传播或使用其任何部分。");

std::string toNative(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : Form(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::Tw(5730), ui::Tw(3555));

    cmdOK = ui::MakeCommandButton(this, "cmdOK", QStringLiteral("确定"),
                                  ui::TwRect(4125, 2625, 1500, 345));
    // Enter and Esc act on it (keyPressEvent); drawn as the default button.
    cmdOK->setDefault(true);
    cmdSysInfo = ui::MakeCommandButton(this, "cmdSysInfo", QStringLiteral("系统信息(&S)..."),
                                       ui::TwRect(4140, 3075, 1485, 345));

    lblDisclaimer =
        ui::MakeLabel(this, "lblDisclaimer", kDisclaimer, ui::TwRect(255, 2640, 3870, 450));
    ui::SetTextColour(lblDisclaimer, 0x000000FF);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setToolTip(QStringLiteral("警告: ..."));

    Image1 = ui::MakeLabel(this, "Image1", QString(), ui::TwRect(45, 195, 1245, 735));
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/about.jpg")));

    Label1 = ui::MakeLabel(this, "Label1", QStringLiteral("We love Life"),
                           ui::TwRect(75, 930, 1335, 255));
    ui::SetTextColour(Label1, 0x00C000C0);
    Label1->setFont(ui::UiFont(QStringLiteral("Arial"), 9, true, true));

    Line1[1] = ui::MakeLine(this, "Line1(1)", 90, 5654, 2445, 0x00808080);

    lblDescription =
        ui::MakeLabel(this, "lblDescription", kDescription, ui::TwRect(1500, 1065, 3885, 1170));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblTitle = ui::MakeLabel(this, "lblTitle", QString(), ui::TwRect(1485, 240, 1500, 300));
    ui::SetTextColour(lblTitle, 0x00FF0000);
    lblTitle->setFont(ui::UiFont(QStringLiteral("宋体"), 12, true));

    Line1[0] = ui::MakeLine(this, "Line1(0)", 105, 5654, 2460, 0x00FFFFFF);

    lblVersion = ui::MakeLabel(this, "lblVersion", QString(), ui::TwRect(1515, 750, 1200, 225));

    setTabOrder(cmdOK, cmdSysInfo);
    connect(cmdOK, &QPushButton::clicked, this, [this] { Unload(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });

    setDesignTexts();
}

void frmAbout::setDesignTexts() {
    setWindowTitle(kDesignCaption);
    lblTitle->setText(kDesignTitle);
    lblVersion->setText(kDesignVersion);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("关于 ") + QStringLiteral(THALVANE_APP_TITLE));
    const QString version = QStringLiteral("版本 %1.%2.%3")
                                .arg(THALVANE_VERSION_MAJOR)
                                .arg(THALVANE_VERSION_MINOR)
                                .arg(THALVANE_VERSION_PATCH);
    lblVersion->setText(version);
    lblTitle->setText(QStringLiteral(THALVANE_APP_TITLE));

    cmdOK->setFocus();
}

void frmAbout::Form_Unload() {
    setDesignTexts();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        cmdOK->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The button with the focus takes Enter; otherwise the default button does.
        (focusWidget() == cmdSysInfo ? cmdSysInfo : cmdOK)->click();
        return;
    default:
        Form::keyPressEvent(event);
    }
}

void frmAbout::StartSysInfo() {
    sysinfo::StartSysInfo([](const platform::MsgBoxCall& call) {
        return ui::MsgBox(call.text, call.style, call.title);
    });
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    std::string value = toNative(KeyVal);
    const bool read = sysinfo::GetKeyValue(KeyRoot, toNative(KeyName), toNative(SubKeyRef), value);
    KeyVal = QString::fromLocal8Bit(value);
    return read;
}
