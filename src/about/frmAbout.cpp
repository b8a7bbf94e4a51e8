#include "about/frmAbout.h"

#include "about/sysinfo/sysinfo.h"
#include "app/ui.h"
#include "platform/fonts.h"
#include "platform/msgbox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
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

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& frame) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(frame);
    return label;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& frame, unsigned colour) {
    QLabel* label = makeLabel(parent, name, frame);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ui::Colour(colour));
    label->setPalette(palette);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& frame) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(frame);
    button->setAutoDefault(false);
    QString spoken = caption;
    button->setAccessibleName(spoken.remove(QLatin1Char('&')));
    return button;
}

// A one-pixel horizontal line from (x1, y) to (x2, y), in twips.
QWidget* makeLine(QWidget* parent, const char* name, int x1, int y, int x2, unsigned colour) {
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(ui::Tw(x1), ui::Tw(y), ui::Tw(x2) - ui::Tw(x1), 1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, ui::Colour(colour));
    line->setPalette(palette);
    return line;
}

std::string toNative(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : Form(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::Tw(5730), ui::Tw(3555));

    cmdOK = makeButton(this, "cmdOK", QStringLiteral("确定"), ui::TwRect(4125, 2625, 1500, 345));
    // Enter and Esc act on it (keyPressEvent); drawn as the default button.
    cmdOK->setDefault(true);
    cmdSysInfo = makeButton(this, "cmdSysInfo", QStringLiteral("系统信息(&S)..."),
                            ui::TwRect(4140, 3075, 1485, 345));

    lblDisclaimer = makeLabel(this, "lblDisclaimer", ui::TwRect(255, 2640, 3870, 450), 0x000000FF);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setText(kDisclaimer);
    lblDisclaimer->setAccessibleName(kDisclaimer);
    lblDisclaimer->setToolTip(QStringLiteral("警告: ..."));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(ui::TwRect(45, 195, 1245, 735));
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/about.jpg")));

    Label1 = makeLabel(this, "Label1", ui::TwRect(75, 930, 1335, 255), 0x00C000C0);
    Label1->setFont(platform::UiFont(QStringLiteral("Arial"), 9, true, true));
    Label1->setText(QStringLiteral("We love Life"));
    Label1->setAccessibleName(Label1->text());

    Line1[1] = makeLine(this, "Line1(1)", 90, 2445, 5654, 0x00808080);

    lblDescription =
        makeLabel(this, "lblDescription", ui::TwRect(1500, 1065, 3885, 1170), 0x00000000);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setText(kDescription);
    lblDescription->setAccessibleName(kDescription);

    lblTitle = makeLabel(this, "lblTitle", ui::TwRect(1485, 240, 1500, 300), 0x00FF0000);
    lblTitle->setFont(platform::UiFont(QStringLiteral("宋体"), 12, true));

    Line1[0] = makeLine(this, "Line1(0)", 105, 2460, 5654, 0x00FFFFFF);

    lblVersion = makeLabel(this, "lblVersion", ui::TwRect(1515, 750, 1200, 225));

    setTabOrder(cmdOK, cmdSysInfo);
    connect(cmdOK, &QPushButton::clicked, this, [this] { Unload(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });

    setDesignTexts();
}

void frmAbout::setDesignTexts() {
    setWindowTitle(kDesignCaption);
    lblTitle->setText(kDesignTitle);
    lblTitle->setAccessibleName(kDesignTitle);
    lblVersion->setText(kDesignVersion);
    lblVersion->setAccessibleName(kDesignVersion);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("关于 ") + QStringLiteral(THALVANE_APP_TITLE));
    const QString version = QStringLiteral("版本 %1.%2.%3")
                                .arg(THALVANE_VERSION_MAJOR)
                                .arg(THALVANE_VERSION_MINOR)
                                .arg(THALVANE_VERSION_PATCH);
    lblVersion->setText(version);
    lblVersion->setAccessibleName(version);
    lblTitle->setText(QStringLiteral(THALVANE_APP_TITLE));
    lblTitle->setAccessibleName(lblTitle->text());

    // Shown without an owner: centred on the screen.
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
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
        return platform::MsgBox(call.text, call.style, call.title);
    });
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    std::string value = toNative(KeyVal);
    const bool read = sysinfo::GetKeyValue(KeyRoot, toNative(KeyName), toNative(SubKeyRef), value);
    KeyVal = QString::fromLocal8Bit(value);
    return read;
}
