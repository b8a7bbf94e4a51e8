#include "ui/form.h"

#include "platform/commoncontrols.h"
#include "ui/controls.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {
std::vector<Form*>& allForms() {
    static std::vector<Form*> list;
    return list;
}
QPointer<Form>& mainWindow() {
    static QPointer<Form> window;
    return window;
}
std::vector<Form*>& loadedForms() {
    static std::vector<Form*> list;
    return list;
}
void erase(std::vector<Form*>& list, Form* form) {
    list.erase(std::remove(list.begin(), list.end(), form), list.end());
}
} // namespace

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {
    platform::InitCommonControls();
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.ico")));
    allForms().push_back(this);
}

Form::~Form() {
    erase(loadedForms(), this);
    erase(allForms(), this);
}

void Form::Load() {
    loaded_ = true;
    loadedForms().push_back(this);
    Form_Load();
}

void Form::Show() {
    const bool loading = !loaded_;
    if (loading)
        Load();
    else
        Form_ShowAgain();
    if (!loaded_) // the load step may have unloaded the window again
        return;
    if (loading) {
        // Texts never clip, whichever fonts the system has: a label placed by hand grows
        // where its text needs more room than its design gives it.
        for (QLabel* label : findChildren<QLabel*>()) {
            if (!label->parentWidget()->layout())
                ui::GrowToFit(label);
        }
        // A window opens centred; brought forward it stays where it is.
        PlaceCentred();
    }
    show();
    raise();
    activateWindow();
}

void Form::Unload() {
    if (!loaded_ || unloading_)
        return;
    unloading_ = true;
    hide();
    loaded_ = false;
    erase(loadedForms(), this);
    Form_Unload();
    unloading_ = false;
    // The program ends once no window is loaded. The test is made after the current
    // handler has returned, so a handler may unload its window and show another.
    if (loadedForms().empty())
        QTimer::singleShot(0, qApp, [] {
            if (loadedForms().empty())
                QCoreApplication::quit();
        });
}

void Form::closeEvent(QCloseEvent* event) {
    // The close box unloads the window; the object stays for later use.
    Unload();
    event->accept();
}

void Form::SetBackground(const QColor& colour, const QPixmap& picture) {
    backgroundColour_ = colour;
    backgroundPicture_ = picture;
    update();
}

namespace {
// The borders the system draws around a window: its title bar and frame.
QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}
} // namespace

void Form::PlaceCentred() {
    const Form* over = forms::MainWindow();
    const bool overMain = over && over != this && over->isVisible();
    const QScreen* screen = overMain ? over->screen() : this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame is known once the window has been on the screen; before, the main
    // window's tells, as the windows have the same kind of frame.
    const QMargins margins = testAttribute(Qt::WA_WState_Created) || !overMain
                                 ? FrameMargins(*this)
                                 : FrameMargins(*over);
    QRect frame(QPoint(), size().grownBy(margins));
    frame.moveCenter(overMain ? over->frameGeometry().center() : area.center());
    // Inside the area; a window larger than the area keeps its top-left corner on it.
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    move(frame.topLeft());
}

void Form::paintEvent(QPaintEvent* event) {
    if (!backgroundColour_.isValid() && backgroundPicture_.isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (backgroundColour_.isValid())
        painter.fillRect(rect(), backgroundColour_);
    painter.drawPixmap(0, 0, backgroundPicture_);
}

namespace forms {

std::vector<Form*> Loaded() {
    return loadedForms();
}
std::vector<Form*> All() {
    return allForms();
}

void UnloadAll() {
    const auto count = loadedForms().size();
    for (std::size_t i = 0; i < count && !loadedForms().empty(); ++i)
        loadedForms().front()->Unload();
}

void SetMainWindow(Form* window) {
    mainWindow() = window;
}

Form* MainWindow() {
    return mainWindow();
}

void DestroyAll() {
    // Call only when no handler of a window is running.
    const auto list = allForms();
    for (Form* form : list) {
        form->Unload();
        delete form;
    }
}

} // namespace forms
