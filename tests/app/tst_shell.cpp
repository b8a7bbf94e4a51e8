// The program as a whole: the splash window, the main menu, the exit entry, and one
// session from start-up to exit on a temporary database.

#include "about/frmAbout.h"
#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "app/modGeneral.h"
#include "data/databasefile.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "platform/msgbox.h"
#include "platform/sysdir.h"
#include "record/frminfo.h"
#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "searchfixture.h"
#include "support/accessible.h"
#include "support/msgboxes.h"
#include "support/testdb.h"
#include "support/windows.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/program.h"

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <optional>

namespace {

// The splash timer's tick, fired directly rather than waited for.
void Tick(frmsplash& splash) {
    QVERIFY(QMetaObject::invokeMethod(splash.Timer1, "timeout"));
}

QString BoxText(frminfo& info, int index) {
    if (auto* line = qobject_cast<QLineEdit*>(info.Txt[index]))
        return line->text();
    return qobject_cast<QPlainTextEdit*>(info.Txt[index])->toPlainText();
}

QColor TextColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

QPoint CentreIn(QWidget* window, QWidget* child) {
    return child->mapTo(window, child->rect().center());
}

template <class T> int ObjectsOf() {
    int n = 0;
    for (Form* f : forms::All())
        n += qobject_cast<T*>(f) != nullptr;
    return n;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;
    int ends = 0;

    void StartOn(testsupport::TestDatabase& database) {
        modGeneral::ResetConnection();
        platform::SetSystemDirectoryOverride(database.dir().toStdString());
        QVERIFY(modGeneral::Main());
    }
    frmmain& Menu() {
        frmmain& menu = forms::Get<frmmain>();
        menu.Show();
        return menu;
    }
    void Click(frmmain& menu, int index) {
        QTest::mouseClick(menu.Label1[index], Qt::LeftButton, {},
                          menu.Label1[index]->rect().center());
    }

private slots:
    void initTestCase() {
        data::RegisterEmbeddedEngine();
        ui::InstallFontFallbacks();
    }
    void init() {
        boxes.clear();
        ends = 0;
        recorder.emplace(boxes);
        ui::SetEndProgramHook([this](int) { ++ends; });
        db = std::make_unique<testsupport::TestDatabase>();
        platform::SetSystemDirectoryOverride(db->dir().toStdString());
        modGeneral::gConn().Open(db->connectionString(), QString(), data::kPassword);
    }
    void cleanup() {
        forms::DestroyAll();
        modGeneral::ResetConnection();
        db.reset();
        recorder.reset();
        ui::SetEndProgramHook({});
        platform::SetSystemDirectoryOverride(std::nullopt);
    }

    // --- splash ---

    void startUpShowsTheSplashAlone() {
        modGeneral::ResetConnection();
        StartOn(*db);
        frmsplash& splash = forms::Get<frmsplash>();
        QCOMPARE(forms::Loaded(), std::vector<Form*>{&splash});
        QVERIFY(splash.isVisible());
        QVERIFY(splash.windowTitle().isEmpty());
        QCOMPARE(splash.size(), QSize(453, 341));
        QCOMPARE(splash.imgSplash->geometry(), QRect(-2, -2, 457, 347));
        QVERIFY(splash.Timer1->isActive());
        QCOMPARE(splash.Timer1->interval(), 1000);
        QCOMPARE(splash.TimerCount, qint16(0));
    }

    void menuAppearsOnTheSecondTickAndTheSplashIsGone() {
        StartOn(*db);
        frmsplash& splash = forms::Get<frmsplash>();
        Tick(splash);
        QCOMPARE(splash.TimerCount, qint16(1));
        QVERIFY(splash.IsLoaded());
        QCOMPARE(ObjectsOf<frmmain>(), 0);

        Tick(splash);
        QVERIFY(!splash.IsLoaded());
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.Timer1->isActive());
        frmmain& menu = forms::Get<frmmain>();
        QCOMPARE(forms::Loaded(), std::vector<Form*>{&menu});
        QVERIFY(menu.isVisible());
    }

    void clicksAndKeysOnTheSplashChangeNothing() {
        StartOn(*db);
        frmsplash& splash = forms::Get<frmsplash>();
        QTest::mouseClick(splash.imgSplash, Qt::LeftButton);
        QTest::mouseDClick(splash.imgSplash, Qt::LeftButton);
        for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_F4})
            QTest::keyClick(&splash, Qt::Key(key));
        QTest::keyClick(&splash, Qt::Key_F4, Qt::AltModifier);
        QVERIFY(splash.IsLoaded());
        QCOMPARE(splash.TimerCount, qint16(0));
        QCOMPARE(ObjectsOf<frmmain>(), 0);
        Tick(splash);
        QCOMPARE(ObjectsOf<frmmain>(), 0);
    }

    // --- main menu ---

    void menuStartsWithFourBlackEntries() {
        frmmain& menu = Menu();
        QCOMPARE(menu.windowTitle(), QStringLiteral("Thalvane"));
        QCOMPARE(menu.size(), QSize(787, 586));
        const QStringList captions = {"退出系统", "关于我们", "船东添加", "船东查询", "系统配置"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(menu.Label1[i]->objectName(), QStringLiteral("Label1(%1)").arg(i));
            QCOMPARE(menu.Label1[i]->text(), captions[i]);
            QCOMPARE(TextColour(menu.Label1[i]), QColor(Qt::black));
            QCOMPARE(menu.Label1[i]->font().pointSizeF(), 12.0);
            QVERIFY(menu.Label1[i]->font().bold());
            QCOMPARE(menu.Label1[i]->size(), menu.Label1[i]->sizeHint());
            QCOMPARE(menu.Label1[i]->cursor().hotSpot(), QPoint(12, 1));
        }
        QVERIFY(menu.Label1[4]->isHidden());
        QVERIFY(menu.Image8[2]->isHidden());
        for (int i : {0, 1, 3, 4})
            QVERIFY(menu.Image8[i]->isVisible());
        // The labels' Kai face resolves to an installed Chinese face.
        const QString family = QFontInfo(menu.Label1[3]->font()).family();
        QVERIFY2(family.contains("AR PL") || family.contains("Kai", Qt::CaseInsensitive),
                 qPrintable(family));
    }

    void hoverHighlightsTheLabelUnderThePointerAndStays() {
        frmmain& menu = Menu();
        QWindow* window = menu.windowHandle();
        QTest::mouseMove(window, CentreIn(&menu, menu.Label1[3]));
        QCOMPARE(TextColour(menu.Label1[3]), QColor(Qt::blue));
        QCOMPARE(menu.Label1[3]->font().pointSizeF(), 13.0);

        QTest::mouseMove(window, CentreIn(&menu, menu.Label1[1]));
        QCOMPARE(TextColour(menu.Label1[3]), QColor(Qt::black));
        QCOMPARE(menu.Label1[3]->font().pointSizeF(), 12.0);
        QCOMPARE(TextColour(menu.Label1[1]), QColor(Qt::blue));
        QCOMPARE(menu.Label1[1]->font().pointSizeF(), 13.0);
        QCOMPARE(menu.Label1[1]->size(), menu.Label1[1]->sizeHint());

        // Off the labels: the last one touched stays highlighted.
        QTest::mouseMove(window, CentreIn(&menu, menu.Image3));
        QCOMPARE(TextColour(menu.Label1[1]), QColor(Qt::blue));
        for (int i : {0, 2, 3, 4})
            QCOMPARE(TextColour(menu.Label1[i]), QColor(Qt::black));
    }

    // --- the menu from the keyboard ---

    // Down and Tab go down the visible entries, Up and Shift+Tab up, round the column;
    // the hidden first row is never reached. The entry with the focus is the highlighted
    // one, and the only one.
    void keysMoveTheFocusAndTheHighlightAlongTheMenu_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QList<int>>("entries"); // with the focus after each key
        const int down = Qt::Key_Down, up = Qt::Key_Up, tab = Qt::Key_Tab, back = Qt::Key_Backtab;
        QTest::newRow("down the column and round")
            << QList<int>{down, down, down, down, down} << QList<int>{3, 2, 1, 0, 3};
        QTest::newRow("up first, from the bottom")
            << QList<int>{up, up, up, up, up} << QList<int>{0, 1, 2, 3, 0};
        QTest::newRow("tab and shift+tab")
            << QList<int>{tab, tab, back, back, back} << QList<int>{3, 2, 3, 0, 1};
    }
    void keysMoveTheFocusAndTheHighlightAlongTheMenu() {
        QFETCH(QList<int>, keys);
        QFETCH(QList<int>, entries);
        frmmain& menu = Menu();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        // Shown: the menu has the focus, no entry is chosen yet.
        QCOMPARE(QApplication::focusWidget(), menu.Picture1);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(TextColour(menu.Label1[i]), QColor(Qt::black));
        for (int k = 0; k < keys.size(); ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(keys[k]),
                            keys[k] == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            const int entry = entries[k];
            QCOMPARE(QApplication::focusWidget(), menu.Label1[entry]);
            for (int i = 0; i < 5; ++i) {
                QCOMPARE(TextColour(menu.Label1[i]), QColor(i == entry ? Qt::blue : Qt::black));
                QCOMPARE(menu.Label1[i]->font().pointSizeF(), i == entry ? 13.0 : 12.0);
            }
        }
    }

    // The pointer and the keys share one highlight: the entry under the pointer takes the
    // focus, and the keys go on from there.
    void hoverAndFocusNeverShowTwoHighlights() {
        frmmain& menu = Menu();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        QTest::keyClick(menu.Picture1, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), menu.Label1[3]);
        QTest::mouseMove(menu.windowHandle(), CentreIn(&menu, menu.Label1[1]));
        QCOMPARE(QApplication::focusWidget(), menu.Label1[1]);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(TextColour(menu.Label1[i]), QColor(i == 1 ? Qt::blue : Qt::black));
        QTest::keyClick(menu.Label1[1], Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), menu.Label1[0]);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(TextColour(menu.Label1[i]), QColor(i == 0 ? Qt::blue : Qt::black));
    }

    void enterAndSpaceChooseTheEntryAsAClickDoes_data() {
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("opens");
        QTest::newRow("Enter on 船东查询") << 1 << int(Qt::Key_Return) << "frmquery";
        QTest::newRow("Space on 船东添加") << 2 << int(Qt::Key_Space) << "frminfo";
        QTest::newRow("keypad Enter on 关于我们") << 3 << int(Qt::Key_Enter) << "frmAbout";
        QTest::newRow("Enter before an entry is chosen") << 0 << int(Qt::Key_Return) << "";
    }
    void enterAndSpaceChooseTheEntryAsAClickDoes() {
        QFETCH(int, downs);
        QFETCH(int, key);
        QFETCH(QString, opens);
        frmmain& menu = Menu();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        std::vector<Form*> shown;
        for (Form* form : forms::Loaded())
            if (form != &menu && form->isVisible())
                shown.push_back(form);
        std::vector<Form*> expected;
        if (opens == QLatin1String("frmquery"))
            expected.push_back(&forms::Get<frmquery>());
        else if (opens == QLatin1String("frminfo"))
            expected.push_back(&forms::Get<frminfo>());
        else if (opens == QLatin1String("frmAbout"))
            expected.push_back(&forms::Get<frmAbout>());
        QCOMPARE(shown, expected);
        if (opens == QLatin1String("frminfo"))
            QCOMPARE(forms::Get<frminfo>().shipId, -1);
    }
    void enterOnTheExitEntryEndsTheProgram() {
        frmmain& menu = Menu();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        QTest::keyClick(menu.Picture1, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), menu.Label1[0]);
        QTest::keyClick(menu.Label1[0], Qt::Key_Return);
        QCOMPARE(ends, 1);
        QVERIFY(forms::Loaded().empty());
    }

    // A screen reader asks the window which control has the focus and reads its name:
    // the entry's caption; the menu itself before an entry is chosen.
    void theEntryWithTheFocusIsWhatAScreenReaderFinds() {
        frmmain& menu = Menu();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        auto focusName = [&menu] {
            QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&menu);
            QAccessibleInterface* focus = window ? window->focusChild() : nullptr;
            return focus ? focus->text(QAccessible::Name) : QStringLiteral("<none>");
        };
        QCOMPARE(focusName(), QStringLiteral("主菜单"));
        QTest::keyClick(menu.Picture1, Qt::Key_Down);
        QCOMPARE(focusName(), QStringLiteral("船东查询"));
        QVERIFY(QAccessible::queryAccessibleInterface(menu.Label1[3])->state().focused);
        QTest::keyClick(menu.Label1[3], Qt::Key_Down);
        QCOMPARE(focusName(), QStringLiteral("船东添加"));
    }

    void eachEntryOpensItsWindowOnce() {
        frmmain& menu = Menu();
        Click(menu, 3);
        frmquery& query = forms::Get<frmquery>();
        QVERIFY(query.IsLoaded() && query.isVisible());
        Click(menu, 3);
        QCOMPARE(ObjectsOf<frmquery>(), 1);

        Click(menu, 1);
        QVERIFY(forms::Get<frmAbout>().IsLoaded());

        Click(menu, 2);
        frminfo& info = forms::Get<frminfo>();
        QVERIFY(info.IsLoaded());
        QCOMPARE(info.shipId, -1);
        QCOMPARE(info.CmdQuery->text(), QStringLiteral("增加"));
        QVERIFY(boxes.empty());
        QCOMPARE(ends, 0);
    }

    void addEntryWhileARecordIsOpenGivesAnEmptyRecord() {
        const qint32 id = db->insert({{"船东", "远洋甲"}, {"电话", "123"}});
        frminfo& info = forms::Get<frminfo>();
        info.shipId = id;
        info.Show();
        QCOMPARE(BoxText(info, 0), QStringLiteral("远洋甲"));

        Click(Menu(), 2);
        QCOMPARE(info.shipId, -1);
        QCOMPARE(info.CmdQuery->text(), QStringLiteral("增加"));
        for (int i = 0; i < 9; ++i)
            QVERIFY(BoxText(info, i).isEmpty());
    }

    void statusBarShowsPublisherDateTimeAndTitle() {
        frmmain& menu = Menu();
        const int widths[4] = {5600, 1440, 1440, 3100};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(menu.Panels[i]->width(), ui::Tw(widths[i]));
            QVERIFY(!menu.Panels[i]->text().isEmpty());
        }
        const QLocale locale = QLocale::system();
        QCOMPARE(menu.Panels[1]->text(),
                 locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(QTime::fromString(menu.Panels[2]->text(), locale.timeFormat(QLocale::ShortFormat))
                    .isValid());

        // A screen reader reads what each panel shows now, and what it is.
        const QStringList roles = {"出版者", "日期", "时间", "标题"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(testsupport::AccessibleName(menu.Panels[i]), menu.Panels[i]->text());
            QCOMPARE(testsupport::AccessibleText(menu.Panels[i], QAccessible::Description),
                     roles[i]);
        }
        menu.Panels[2]->clear(); // the clock's next tick writes the time again
        QVERIFY(
            QMetaObject::invokeMethod(menu.findChild<QTimer*>(QStringLiteral("clock")), "timeout"));
        QVERIFY(!menu.Panels[2]->text().isEmpty());
        QCOMPARE(testsupport::AccessibleName(menu.Panels[2]), menu.Panels[2]->text());
    }

    void closeBoxClosesOnlyTheMenu() {
        frmmain& menu = Menu();
        Click(menu, 3);
        QVERIFY(menu.close());
        QVERIFY(!menu.IsLoaded());
        QVERIFY(forms::Get<frmquery>().IsLoaded());
        QCOMPARE(ends, 0);
    }

    // --- texts ---

    // Whichever fonts the system has, every label shows all of its text.
    void noLabelClipsItsText() {
        modGeneral::ResetConnection();
        StartOn(*db);
        QStringList clipped = testsupport::ClippedLabels(forms::Get<frmsplash>());
        frmmain& menu = forms::Get<frmmain>();
        menu.Show();
        for (int entry : {3, 2, 1})
            Click(menu, entry);
        for (QWidget* window : std::initializer_list<QWidget*>{
                 &menu, &forms::Get<frmquery>(), &forms::Get<frminfo>(), &forms::Get<frmAbout>()}) {
            QVERIFY(window->isVisible());
            clipped += testsupport::ClippedLabels(*window);
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
    }

    // --- where windows open ---

    // The search, record and About windows open centred over the main menu, inside the
    // screen's available area; brought forward again they stay where they are.
    void windowsOpenCentredOverTheMainMenu_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QPoint>("menuAt");
        for (const auto& [entry, name] : {std::pair{3, "search"}, {2, "record"}, {1, "About"}}) {
            QTest::addRow("%s, menu centred", name) << entry << QPoint(-1, -1);
            QTest::addRow("%s, menu at the bottom right", name) << entry << QPoint(600, 500);
        }
    }
    void windowsOpenCentredOverTheMainMenu() {
        QFETCH(int, entry);
        QFETCH(QPoint, menuAt);
        frmmain& menu = forms::Get<frmmain>();
        menu.Show();
        if (menuAt.x() >= 0)
            menu.move(menuAt);
        Click(menu, entry);
        Form* opened = entry == 3   ? static_cast<Form*>(&forms::Get<frmquery>())
                       : entry == 2 ? static_cast<Form*>(&forms::Get<frminfo>())
                                    : static_cast<Form*>(&forms::Get<frmAbout>());
        QVERIFY(opened->isVisible());
        const QRect area = menu.screen()->availableGeometry();
        QVERIFY2(area.contains(opened->frameGeometry()), qPrintable(QString("%1,%2 %3x%4")
                                                                        .arg(opened->x())
                                                                        .arg(opened->y())
                                                                        .arg(opened->width())
                                                                        .arg(opened->height())));
        if (menuAt.x() < 0) {
            const QPoint offset = opened->frameGeometry().center() - menu.frameGeometry().center();
            QVERIFY(offset.manhattanLength() <= 2);
        } else {
            // As close to the menu's centre as the screen allows: against its right and
            // bottom edges.
            QCOMPARE(opened->frameGeometry().right(), area.right());
            QCOMPARE(opened->frameGeometry().bottom(), area.bottom());
        }

        const QPoint moved = opened->pos() - QPoint(5, 5);
        opened->move(moved);
        Click(menu, entry);
        QCOMPARE(opened->pos(), moved);
    }

    void withoutTheMainMenuAWindowOpensCentredOnTheScreen() {
        frmquery& query = forms::Get<frmquery>();
        query.Show();
        // With no window to tell how wide the system's frame is, it may be off by that much.
        const QPoint offset =
            query.frameGeometry().center() - query.screen()->availableGeometry().center();
        const int frame = query.frameGeometry().width() - query.width();
        QVERIFY(qAbs(offset.x()) <= frame && qAbs(offset.y()) <= frame);
    }

    // --- exit ---

    void exitUnloadsEveryWindowAndStopsARunningFill() {
        db.reset();
        modGeneral::ResetConnection();
        db = std::make_unique<testsupport::TestDatabase>(3000);
        modGeneral::gConn().Open(db->connectionString(), QString(), data::kPassword);

        frmmain& menu = Menu();
        Click(menu, 1);
        Click(menu, 2);
        Click(menu, 3);
        frmquery& query = forms::Get<frmquery>();
        QCOMPARE(forms::Loaded().size(), std::size_t(4));

        searchtest::ResultSetLog log(query);
        log.beforeEofTest = [&](int, int eofTest) {
            if (eofTest == 20)
                searchtest::PostClick(menu.Label1[0]);
        };
        QTest::mouseClick(query.CmdQuery, Qt::LeftButton);

        QCOMPARE(ends, 1);
        QVERIFY(forms::Loaded().empty());
        for (Form* f : forms::All())
            QVERIFY(!f->isVisible());
        QCOMPARE(log.opened.size(), std::size_t(1));
        QVERIFY(log.opened[0].closed);
        QCOMPARE(log.opened[0].callsAfterClose, 0);
        QVERIFY(log.opened[0].eofTests < 3000);
    }

    // --- the whole program ---

    void startToExit() {
        db->insertSamples();
        modGeneral::ResetConnection();
        StartOn(*db);
        frmsplash& splash = forms::Get<frmsplash>();
        Tick(splash);
        Tick(splash);
        frmmain& menu = forms::Get<frmmain>();
        QVERIFY(menu.IsLoaded());

        Click(menu, 3);
        frmquery& query = forms::Get<frmquery>();
        query.Text1->setText(QStringLiteral("远洋"));
        QTest::keyClick(query.Text1, Qt::Key_Return);
        FlexGrid& grid = *query.Grid;
        QVERIFY(grid.Rows() > 1);
        for (const QString& name : searchtest::ColumnTexts(grid, 1))
            QVERIFY2(name.contains(QStringLiteral("远洋")), qPrintable(name));
        const qint32 id = grid.TextMatrix(1, 5).toInt();

        QTableView* view = searchtest::GridView(grid);
        // The view learns of new rows at display rate.
        QTRY_COMPARE(view->model()->rowCount(), grid.Rows() - 1);
        const QModelIndex first = view->model()->index(0, 1);
        searchtest::DoubleClick(view->viewport(), view->visualRect(first).center());
        frminfo& info = forms::Get<frminfo>();
        QVERIFY(info.IsLoaded());
        QCOMPARE(info.shipId, id);
        QCOMPARE(BoxText(info, 0), grid.TextMatrix(1, 1));

        const QString phoneListed = grid.TextMatrix(1, 3);
        auto* phone = qobject_cast<QLineEdit*>(info.Txt[3]);
        QVERIFY(phone);
        phone->selectAll();
        QTest::keyClicks(phone, "+86 21 5555 0101");
        QTest::mouseClick(info.CmdQuery, Qt::LeftButton);
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(boxes[0].text), QStringLiteral("修改成功"));
        QCOMPARE(grid.TextMatrix(1, 3), phoneListed); // the save does not refresh the grid

        QTest::mouseClick(query.CmdQuery, Qt::LeftButton);
        QCOMPARE(grid.TextMatrix(1, 5).toInt(), id);
        QCOMPARE(grid.TextMatrix(1, 3), QStringLiteral("+86 21 5555 0101"));

        Click(menu, 1);
        QVERIFY(forms::Get<frmAbout>().IsLoaded());
        Click(menu, 0);
        QCOMPARE(ends, 1);
        QVERIFY(forms::Loaded().empty());
        QCOMPARE(boxes.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
