#include "app/frmmain.h"

#include "about/frmAbout.h"
#include "record/frminfo.h"
#include "search/frmquery.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "ui/program.h"

#include <QDate>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QTime>
#include <algorithm>
#include <thalvane/version.h>

namespace {

const char* const kCaptions[5] = {"退出系统", "关于我们", "船东添加", "船东查询", "系统配置"};

// Label positions and design widths, by index.
struct Place {
    int left, top, width;
};
constexpr Place kLabelPlaces[5] = {{1215, 5625, 1020},
                                   {1215, 4665, 1065},
                                   {1245, 3765, 1020},
                                   {1215, 2850, 1020},
                                   {1200, 2025, 1020}};
constexpr QPoint kIconPlaces[5] = {{585, 5460}, {570, 3660}, {540, 1890}, {585, 2745}, {540, 4560}};
const char* const kIcons[5] = {":/icons/menu_exit.ico", ":/icons/menu_add.ico",
                               ":/icons/menu_config.ico", ":/icons/menu_search.ico",
                               ":/icons/menu_about.ico"};

constexpr unsigned kBlack = 0x00000000;
constexpr unsigned kBlue = 0x00FF0000;

// A menu label's look: its text colour and font size; the label follows its text.
void SetLook(QLabel* label, unsigned colour, qreal points) {
    ui::SetTextColour(label, colour);
    label->setFont(ui::UiFont(QStringLiteral("楷体_GB2312"), points, true));
    label->adjustSize();
}

QLabel* Picture(QWidget* parent, const char* name, const char* file, QRect rect) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(rect);
    image->setScaledContents(true);
    image->setPixmap(QPixmap(QString::fromLatin1(file)));
    return image;
}

} // namespace

frmmain::frmmain() {
    setObjectName(QStringLiteral("frmmain"));
    forms::SetMainWindow(this);
    setWindowTitle(QStringLiteral(THALVANE_APP_TITLE));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(ui::Tw(11805), ui::Tw(8790));

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(ui::TwRect(-15, 0, 11820, 8385));

    // Created from back to front: a later sibling is drawn over an earlier one.
    Image2[0] =
        Picture(Picture1, "Image2(0)", ":/images/menupanel.jpg", ui::TwRect(0, 1350, 2715, 6975));
    Image1 = Picture(Picture1, "Image1", ":/images/banner.jpg", ui::TwRect(0, 0, 11850, 1695));
    Image3 = Picture(Picture1, "Image3", ":/images/main.gif", ui::TwRect(2700, 1710, 9045, 6585));

    const QCursor hand(QPixmap(QStringLiteral(":/cursors/hand.cur")), 12, 1);
    auto makeIcon = [&](int i) {
        auto* icon = new QLabel(Picture1);
        icon->setObjectName(QStringLiteral("Image8(%1)").arg(i));
        const QPixmap pixmap(QString::fromLatin1(kIcons[i]));
        icon->setPixmap(pixmap);
        icon->setGeometry(QRect(QPoint(ui::Tw(kIconPlaces[i].x()), ui::Tw(kIconPlaces[i].y())),
                                pixmap.isNull() ? QSize(32, 32) : pixmap.size()));
        icon->setAccessibleName(QString::fromUtf8(kCaptions[i]));
        Image8[i] = icon;
    };
    auto makeLabel = [&](int i) {
        auto* label = new QLabel(QString::fromUtf8(kCaptions[i]), Picture1);
        label->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        label->move(ui::Tw(kLabelPlaces[i].left), ui::Tw(kLabelPlaces[i].top));
        label->setCursor(hand);
        label->setMouseTracking(true);
        // Reached from the keyboard too (see eventFilter).
        label->setFocusPolicy(Qt::TabFocus);
        label->installEventFilter(this);
        Label1[i] = label;
    };
    // Back to front, as listed from front to back in the design.
    makeIcon(0);
    makeLabel(0);
    makeLabel(1);
    makeIcon(1);
    makeIcon(2);
    makeLabel(2);
    makeLabel(3);
    makeIcon(3);
    Line1 = new QFrame(Picture1);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::VLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setGeometry(ui::Tw(2700), ui::Tw(1680), 1, ui::Tw(8685 - 1680));
    makeIcon(4);
    makeLabel(4);
    Image4 = Picture(Picture1, "Image4", ":/images/ship.jpg", ui::TwRect(390, 6270, 2250, 1605));

    // The first row of the column is kept free for good.
    Label1[4]->hide();
    Image8[2]->hide();

    // The menu holds the keyboard focus when the window is shown, with no entry chosen
    // until a key chooses one.
    Picture1->setFocusPolicy(Qt::StrongFocus);
    Picture1->setAccessibleName(QStringLiteral("主菜单"));
    Picture1->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(ui::TwRect(0, 8400, 11805, 390));
    const int widths[4] = {5600, 1440, 1440, 3100};
    const QString names[4] = {QStringLiteral("出版者"), QStringLiteral("日期"),
                              QStringLiteral("时间"), QStringLiteral("标题")};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("Panel(%1)").arg(i + 1));
        panel->setFixedWidth(ui::Tw(widths[i]));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        // A screen reader reads the panel's text, then what it is.
        panel->setAccessibleDescription(names[i]);
        StatusBar1->addWidget(panel);
        Panels[i] = panel;
    }
    Panels[0]->setText(QStringLiteral("海川航运信息出版社  www.haichuan-shipping.example"));
    Panels[3]->setText(QStringLiteral(THALVANE_APP_TITLE " 船东名录"));

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("clock"));
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &frmmain::UpdateClock);
}

void frmmain::Form_Load() {
    for (QLabel* label : Label1)
        SetLook(label, kBlack, 12);
    Picture1->setFocus();
    UpdateClock();
    clock_->start();
}

void frmmain::Form_Unload() {
    clock_->stop();
}

void frmmain::UpdateClock() {
    const QLocale locale = QLocale::system();
    Panels[1]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    Panels[2]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

int frmmain::LabelIndex(QObject* watched) const {
    for (int i = 0; i < 5; ++i)
        if (Label1[i] == watched)
            return i;
    return -1;
}

// The visible entries, top to bottom.
std::vector<int> frmmain::EntryOrder() const {
    std::vector<int> order;
    for (int i = 0; i < 5; ++i)
        if (!Label1[i]->isHidden())
            order.push_back(i);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return Label1[a]->y() < Label1[b]->y(); });
    return order;
}

// Up, Down, Tab and Shift+Tab move between the entries, round the column; Enter and
// Space choose the entry with the focus, as a click does.
bool frmmain::MenuKey(int index, const QKeyEvent& key) {
    const std::vector<int> order = EntryOrder();
    if (order.empty())
        return false;
    const auto at = std::find(order.begin(), order.end(), index);
    const int position = at == order.end() ? -1 : int(at - order.begin());
    const int count = int(order.size());
    switch (key.key()) {
    case Qt::Key_Down:
    case Qt::Key_Tab:
        Label1[order[(position + 1) % count]]->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Backtab:
        Label1[order[position < 0 ? count - 1 : (position + count - 1) % count]]->setFocus(
            Qt::BacktabFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (index < 0 || key.isAutoRepeat())
            return index >= 0;
        Label1_Click(index);
        return true;
    default:
        return false;
    }
}

bool frmmain::eventFilter(QObject* watched, QEvent* event) {
    const int index = LabelIndex(watched);
    if ((index >= 0 || watched == Picture1) && event->type() == QEvent::KeyPress &&
        MenuKey(index, *static_cast<QKeyEvent*>(event)))
        return true;
    if (index >= 0) {
        if (event->type() == QEvent::FocusIn) {
            Highlight(index);
        } else if (event->type() == QEvent::MouseMove) {
            Label1_MouseMove(index);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                Label1[index]->rect().contains(mouse->position().toPoint())) {
                Label1_Click(index);
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}

void frmmain::Label1_MouseMove(int index) {
    Highlight(index);
    // The entry under the pointer is the one the keys go on from: one highlight only.
    Label1[index]->setFocus(Qt::MouseFocusReason);
}

void frmmain::Highlight(int index) {
    for (int i = 0; i < 5; ++i)
        if (i != index)
            SetLook(Label1[i], kBlack, 12);
    SetLook(Label1[index], kBlue, 13);
}

void frmmain::Label1_Click(int index) {
    switch (index) {
    case 0: {
        // Every loaded window goes, this one included; then the program ends at once.
        forms::UnloadAll();
        ui::EndProgram(0);
        break;
    }
    case 1:
        forms::Get<frmAbout>().Show();
        break;
    case 2: {
        frminfo& info = forms::Get<frminfo>();
        info.shipId = -1;
        info.Show();
        break;
    }
    case 3:
        forms::Get<frmquery>().Show();
        break;
    default:
        break;
    }
}
