#pragma once
// Window lifecycle shared by every window of the program.
//
// Each window class has exactly one object, created on first use by Get<T>() (its
// constructor runs the common-controls initialisation and gives the window the
// program's icon). The object lives for the run;
// its state of being "loaded" comes and goes:
//  - Show() loads the window if it is not loaded (running Form_Load, then centring it
//    over the main window, or the screen), shows it and brings it to the front;
//  - Unload() hides it and runs Form_Unload, which drops the controls' state; public
//    members such as frminfo::shipId keep their value. The title-bar close box unloads.
// Widgets are never deleted by an unload, so a handler suspended in the event loop can
// still touch its window's controls after it was unloaded; tests destroy every window
// object with forms::DestroyAll().

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <vector>

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    bool IsLoaded() const { return loaded_; }
    // Loads the window when it is not loaded, then shows it and brings it forward.
    void Show();
    // Hides the window and drops its controls' state. No-op when not loaded.
    void Unload();

protected:
    // The window's background: a colour, and a picture drawn at its own size from the
    // top-left corner of the client area.
    void SetBackground(const QColor& colour, const QPixmap& picture);

    // Runs each time the window is loaded, before it is shown.
    virtual void Form_Load() {}
    // Runs each time the window is unloaded, after it is hidden: restore the controls
    // to their initial state here.
    virtual void Form_Unload() {}
    // Runs when Show() is called while the window is already loaded, before it is
    // brought forward. Most windows do nothing more.
    virtual void Form_ShowAgain() {}

    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Load();
    // Moves the window to the centre of the main window when that is shown, of its screen
    // otherwise, inside the screen's available area.
    void PlaceCentred();
    QColor backgroundColour_;
    QPixmap backgroundPicture_;
    bool loaded_ = false;
    bool unloading_ = false;
};

namespace forms {

// Windows that are loaded, in the order they were loaded.
std::vector<Form*> Loaded();
// Every window object that exists.
std::vector<Form*> All();
// Unloads every loaded window (first loaded first).
void UnloadAll();
// Deletes every window object, so that the next use creates it afresh (tests).
void DestroyAll();

// The window that the other windows open over (the main menu), or nullptr.
void SetMainWindow(Form* window);
Form* MainWindow();

// The one object of window class T, created on first use.
template <class T> T& Get() {
    static QPointer<T> instance;
    if (!instance)
        instance = new T;
    return *instance;
}

} // namespace forms
