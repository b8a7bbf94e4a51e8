// The window lifecycle every window shares: one object per class, load on show,
// unload on close, and the end of the program when no window is loaded.

#include "ui/form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScreen>
#include <QtTest>

namespace {

class Probe : public Form {
public:
    int loads = 0;
    int unloads = 0;
    int showsAgain = 0;
    int kept = 0; // a public member: survives unloads
    static int created;
    Probe() { ++created; }

protected:
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
    void Form_ShowAgain() override { ++showsAgain; }
};
int Probe::created = 0;

class Other : public Form {};

} // namespace

class TestForm : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        forms::DestroyAll();
        Probe::created = 0;
    }

    // A window larger than the screen's free area (the main menu at twice the scale on a
    // small screen, say) keeps its title bar and its top-left corner on the screen, alone
    // or opened over the main window wherever that stands.
    void aWindowLargerThanTheScreenKeepsItsTopLeftOnIt_data() {
        QTest::addColumn<bool>("overMain");
        QTest::newRow("alone") << false;
        QTest::newRow("over the main window") << true;
    }
    void aWindowLargerThanTheScreenKeepsItsTopLeftOnIt() {
        QFETCH(bool, overMain);
        Other& main = forms::Get<Other>();
        if (overMain) {
            main.resize(300, 200);
            forms::SetMainWindow(&main);
            main.Show();
            main.move(main.screen()->availableGeometry().bottomRight() - QPoint(300, 200));
        }
        Probe& big = forms::Get<Probe>();
        const QRect area = big.screen()->availableGeometry();
        big.resize(area.size() * 2);
        big.Show();
        QCOMPARE(big.frameGeometry().topLeft(), area.topLeft());
        forms::SetMainWindow(nullptr);
    }

    void oneObjectPerClassCreatedOnFirstUse() {
        QCOMPARE(Probe::created, 0);
        Probe& a = forms::Get<Probe>();
        Probe& b = forms::Get<Probe>();
        QCOMPARE(&a, &b);
        QCOMPARE(Probe::created, 1);
        QVERIFY(!a.IsLoaded());
        QCOMPARE(a.loads, 0);
    }

    void showLoadsOnceThenOnlyBringsForward() {
        Probe& p = forms::Get<Probe>();
        p.Show();
        p.Show();
        QVERIFY(p.IsLoaded());
        QVERIFY(p.isVisible());
        QCOMPARE(p.loads, 1);
        QCOMPARE(p.showsAgain, 1);
    }

    void unloadKeepsPublicMembersAndReloadsOnNextShow() {
        Probe& p = forms::Get<Probe>();
        p.kept = 42;
        p.Show();
        p.Unload();
        QVERIFY(!p.IsLoaded());
        QVERIFY(!p.isVisible());
        QCOMPARE(p.unloads, 1);
        p.Unload(); // not loaded: nothing happens
        QCOMPARE(p.unloads, 1);
        p.Show();
        QCOMPARE(p.loads, 2);
        QCOMPARE(p.kept, 42);
        QCOMPARE(&forms::Get<Probe>(), &p);
    }

    void closeBoxUnloads() {
        Probe& p = forms::Get<Probe>();
        p.Show();
        QVERIFY(p.close());
        QVERIFY(!p.IsLoaded());
        QCOMPARE(p.unloads, 1);
    }

    void loadedListKeepsLoadOrderAndUnloadAllEmptiesIt() {
        Other& o = forms::Get<Other>();
        Probe& p = forms::Get<Probe>();
        p.Show();
        o.Show();
        QCOMPARE(forms::Loaded(), (std::vector<Form*>{&p, &o}));
        QCOMPARE(forms::All().size(), std::size_t(2));
        forms::UnloadAll();
        QVERIFY(forms::Loaded().empty());
        QVERIFY(!p.isVisible() && !o.isVisible());
        QCOMPARE(p.unloads, 1);
    }

    void destroyAllMakesTheNextUseCreateAfresh() {
        forms::Get<Probe>().Show();
        forms::DestroyAll();
        QVERIFY(forms::All().empty());
        QCOMPARE(forms::Get<Probe>().loads, 0);
        QCOMPARE(Probe::created, 2);
    }

    // The program ends when no window is loaded once the current handler returns:
    // unloading one window and showing another in the same handler keeps it running.
    void programEndsWhenNoWindowIsLeftLoaded() {
        Probe& p = forms::Get<Probe>();
        Other& o = forms::Get<Other>();
        p.Show();

        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            p.Unload();
            o.Show(); // handed over in the same handler
        });
        QTimer::singleShot(50, &loop, [&] { loop.quit(); });
        loop.exec();
        QVERIFY(o.IsLoaded());

        // Now the last window goes: QCoreApplication::quit() ends a running exec().
        QTimer::singleShot(0, &o, [&] { o.Unload(); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(2000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(TestForm)
#include "tst_form.moc"
