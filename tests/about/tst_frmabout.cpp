// The About window: texts built at load, closing keys, the system-information button,
// and showing it while it is open. The registry and the program start are fakes: no test
// starts a real program.

#include "about/frmAbout.h"
#include "fake_launcher.h"
#include "fake_registry.h"
#include "platform/msgbox.h"
#include "support/accessible.h"
#include "support/msgboxes.h"
#include "support/windows.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <optional>
#include <thalvane/version.h>

namespace {
const std::string kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kTool = "/opt/info/sysinfo";

int visibleAboutWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<frmAbout*>(widget) && widget->isVisible())
            ++count;
    return count;
}
} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<FakeRegistry> registry;
    std::unique_ptr<FakeLauncher> launcher;
    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;

    // Keys and shortcuts reach only the active window.
    static bool showActive(frmAbout& about) {
        about.Show();
        about.activateWindow();
        return QTest::qWaitForWindowActive(&about);
    }

private slots:
    void initTestCase() { ui::InstallFontFallbacks(); }

    void init() {
        registry = std::make_unique<FakeRegistry>();
        registry->Set(kProgramKey, "PATH", platform::kRegSz, kTool + '\0');
        launcher = std::make_unique<FakeLauncher>();
        launcher->startable = {kTool};
        boxes.clear();
        recorder.emplace(boxes);
    }

    void cleanup() {
        forms::DestroyAll();
        recorder.reset();
        launcher.reset();
        registry.reset();
    }

    void loadBuildsCaptionVersionAndTitle() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Thalvane"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("版本 ") + THALVANE_VERSION_STRING);
        QCOMPARE(about.lblVersion->text(), QStringLiteral("版本 1.0.0"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Thalvane"));
    }

    void reopeningRebuildsTheTexts() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        about.cmdOK->click();
        QVERIFY(!about.IsLoaded());
        QVERIFY(!about.isVisible());
        QVERIFY(about.lblVersion->text() != QStringLiteral("版本 1.0.0"));
        about.Show();
        QVERIFY(about.IsLoaded());
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Thalvane"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("版本 1.0.0"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Thalvane"));
    }

    void keysActOnTheButtons_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("starts");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << "cmdOK" << true << 0;
        QTest::newRow("Esc on cmdSysInfo") << int(Qt::Key_Escape) << "cmdSysInfo" << true << 0;
        QTest::newRow("Enter") << int(Qt::Key_Return) << "cmdOK" << true << 0;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "cmdOK" << true << 0;
        QTest::newRow("Enter on cmdSysInfo") << int(Qt::Key_Return) << "cmdSysInfo" << false << 1;
    }
    void keysActOnTheButtons() {
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(bool, closes);
        QFETCH(int, starts);
        frmAbout& about = forms::Get<frmAbout>();
        QVERIFY(showActive(about));
        auto* target = about.findChild<QPushButton*>(focus);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(about.IsLoaded(), !closes);
        QCOMPARE(about.isVisible(), !closes);
        QCOMPARE(int(launcher->starts.size()), starts);
    }

    void closeBoxUnloadsAndKeepsTheObject() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        QVERIFY(about.close());
        QVERIFY(!about.IsLoaded());
        QCOMPARE(&forms::Get<frmAbout>(), &about);
    }

    void altSStartsTheTool() {
        frmAbout& about = forms::Get<frmAbout>();
        QVERIFY(showActive(about));
        QTest::keyClick(&about, Qt::Key_S, Qt::AltModifier);
        // The access key presses the button as a click would, released a moment later.
        QTRY_COMPARE(launcher->starts.size(), std::size_t(1));
        QCOMPARE(launcher->starts[0].path, kTool);
        QCOMPARE(launcher->starts[0].showStyle, 1);
        QVERIFY(boxes.empty());
        QVERIFY(about.IsLoaded());
    }

    void unavailableToolShowsTheMessageAndStaysOpen() {
        registry.reset();
        registry = std::make_unique<FakeRegistry>(); // nothing recorded
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        about.cmdSysInfo->click();
        QVERIFY(launcher->starts.empty());
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(boxes[0].text), QStringLiteral("此时系统信息不可用"));
        QCOMPARE(QString::fromStdString(boxes[0].title), QStringLiteral("Thalvane"));
        QCOMPARE(boxes[0].style, 0);
        QVERIFY(about.IsLoaded());
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Thalvane"));
    }

    void showingTwiceShowsOneWindowWithoutReloading() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        about.cmdSysInfo->setFocus();
        about.setWindowTitle("marker");
        about.Show();
        QCOMPARE(visibleAboutWindows(), 1);
        QCOMPARE(about.windowTitle(), QStringLiteral("marker")); // not loaded again
        int loaded = 0;
        for (Form* form : forms::Loaded())
            loaded += qobject_cast<frmAbout*>(form) != nullptr;
        QCOMPARE(loaded, 1);
    }

    void getKeyValueConvertsAtTheEdge() {
        // The registry holds text in the system's narrow code page.
        const auto narrow = [](const char* text) {
            return QString::fromUtf8(text).toLocal8Bit().toStdString();
        };
        registry->Set(kProgramKey, narrow("中文"), platform::kRegSz, narrow("C:\\工具\\信息.exe"));
        QString value = QStringLiteral("old");
        QVERIFY(forms::Get<frmAbout>().GetKeyValue(platform::kHKeyLocalMachine,
                                                   QString::fromStdString(kProgramKey),
                                                   QStringLiteral("中文"), value));
        QCOMPARE(value, QStringLiteral("C:\\工具\\信息.exe"));
    }

    void frameHasNoMinimiseOrMaximise() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        QCOMPARE(about.size(), QSize(382, 237)); // 5730 x 3555 twips
        QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(about.cmdOK->isDefault());
    }

    void labelsAreWideEnoughForTheirTexts() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        const QStringList clipped = testsupport::ClippedLabels(about);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
        for (QLabel* label : about.findChildren<QLabel*>()) {
            // Widened labels stay inside the window.
            QVERIFY(about.rect().contains(label->geometry()));
        }
    }

    void everyControlHasAnAccessibleName() {
        frmAbout& about = forms::Get<frmAbout>();
        about.Show();
        for (QWidget* control :
             {static_cast<QWidget*>(about.cmdOK), static_cast<QWidget*>(about.cmdSysInfo),
              static_cast<QWidget*>(about.lblTitle), static_cast<QWidget*>(about.lblVersion),
              static_cast<QWidget*>(about.lblDescription),
              static_cast<QWidget*>(about.lblDisclaimer), static_cast<QWidget*>(about.Label1)})
            QVERIFY2(!testsupport::AccessibleName(control).isEmpty(),
                     qPrintable(control->objectName()));
        QCOMPARE(testsupport::AccessibleName(about.cmdSysInfo), QStringLiteral("系统信息(S)..."));
        // Labels set at load read as they are now.
        QCOMPARE(testsupport::AccessibleName(about.lblVersion), QStringLiteral("版本 1.0.0"));
        QCOMPARE(testsupport::AccessibleName(about.lblTitle), QStringLiteral("Thalvane"));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
