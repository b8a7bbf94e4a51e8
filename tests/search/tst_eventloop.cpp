// The event loop the program chooses, and what it handles while a search lists its rows:
// input, timers and sockets, as the Stop button, the publishing of rows and the
// accessibility bus need them.

#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "searchfixture.h"
#include "ui/form.h"
#include "ui/program.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace searchtest;

namespace {

// A result set in memory that calls a hook whenever it is asked for the end of data.
class HookedRecordset : public FakeRecordset {
public:
    HookedRecordset(QList<QVariantMap> rows, std::function<void()> hook)
        : FakeRecordset(std::move(rows), {}), hook_(std::move(hook)) {}
    bool Eof() const override {
        hook_();
        return FakeRecordset::Eof();
    }

private:
    std::function<void()> hook_;
};

// A result set in memory whose move to the row after `waitAt` takes long, as the engine's
// does when many rows in between do not match: it calls the wait handler again and again,
// running `whileWaiting` once first, until the handler gives up.
class WaitingRecordset : public FakeRecordset {
public:
    WaitingRecordset(QList<QVariantMap> rows, int waitAt, std::function<void()> whileWaiting)
        : FakeRecordset(std::move(rows), {}), waitAt_(waitAt),
          whileWaiting_(std::move(whileWaiting)) {}
    void SetWaitHandler(std::function<bool()> handler) override { handler_ = std::move(handler); }
    bool Eof() const override { return gaveUp_ || FakeRecordset::Eof(); }
    void MoveNext() override {
        FakeRecordset::MoveNext();
        if (++moves_ != waitAt_ || !handler_)
            return;
        whileWaiting_();
        for (int call = 0; call < 1000 && IsOpen(); ++call) {
            if (handlerCalls)
                ++*handlerCalls;
            if (!handler_()) {
                gaveUp_ = true;
                return;
            }
        }
    }
    int* handlerCalls = nullptr; // counted where the test can read it after the set is gone

private:
    int waitAt_;
    std::function<void()> whileWaiting_;
    std::function<bool()> handler_;
    int moves_ = 0;
    bool gaveUp_ = false;
};

QList<QVariantMap> Rows(int count) {
    QList<QVariantMap> rows;
    for (int i = count; i >= 1; --i)
        rows.append(
            {{QStringLiteral("船东"), QStringLiteral("船东%1").arg(i)}, {QStringLiteral("id"), i}});
    return rows;
}

} // namespace

class TestEventLoop : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        ui::SetEndProgramHook({});
        forms::DestroyAll();
    }

    void theProgramUsesQtsOwnDispatcher() {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        QVERIFY(dispatcher);
        QVERIFY2(!dispatcher->inherits("QEventDispatcherGlib"),
                 dispatcher->metaObject()->className());
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
        QVERIFY2(dispatcher->inherits("QEventDispatcherUNIX"),
                 dispatcher->metaObject()->className());
#endif
    }

    // Between two rows, typed keys, a due timer and a socket with data to read are all
    // handled, and the fill goes on to its last row.
    void inputTimersAndSocketsAreHandledDuringTheFill() {
        constexpr int kRows = 300;
        frmquery& w = OpenWindow();
        bool timerFired = false;
        bool socketRead = false;
        QString typedWhileFilling;
        int rowsWhenChecked = -1;
#ifdef Q_OS_UNIX
        int pipeEnds[2] = {-1, -1};
        QVERIFY(pipe(pipeEnds) == 0);
        QSocketNotifier notifier(pipeEnds[0], QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            char byte = 0;
            socketRead = read(pipeEnds[0], &byte, 1) == 1;
        });
#else
        socketRead = true; // a pipe is no socket on Windows
#endif
        bool sent = false;
        const auto hook = [&] {
            const int listed = w.Grid->Rows() - 1;
            if (listed == 10 && !sent) {
                sent = true;
                QTimer::singleShot(0, this, [&] { timerFired = true; });
                QCoreApplication::postEvent(w.Text2,
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_X,
                                                          Qt::NoModifier, QStringLiteral("x")));
#ifdef Q_OS_UNIX
                QVERIFY(write(pipeEnds[1], "s", 1) == 1);
#endif
            } else if (listed == 200 && rowsWhenChecked < 0) {
                typedWhileFilling = w.Text2->text();
                rowsWhenChecked = w.Grid->Rows() - 1;
            }
        };
        w.SetRecordsetOpener([&](const QString&) -> std::unique_ptr<data::Recordset> {
            return std::make_unique<HookedRecordset>(Rows(kRows), hook);
        });
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);
        w.SetRecordsetOpener({});
#ifdef Q_OS_UNIX
        close(pipeEnds[0]);
        close(pipeEnds[1]);
#endif

        QVERIFY(timerFired);
        QVERIFY(socketRead);
        QCOMPARE(typedWhileFilling, QStringLiteral("x"));
        QCOMPARE(rowsWhenChecked, 200);
        QCOMPARE(w.Grid->Rows(), kRows + 1);
        QCOMPARE(w.Grid->TextMatrix(kRows, 1), QStringLiteral("船东1"));
    }

    // While the engine looks for the next row, Stop, a later search and closing the window
    // are handled, and the search ends as it does between rows.
    void waitingForTheNextRow_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("Stop") << QStringLiteral("stop");
        QTest::newRow("a later search") << QStringLiteral("search");
        QTest::newRow("closing the window") << QStringLiteral("close");
        QTest::newRow("exiting the program") << QStringLiteral("exit");
    }
    void waitingForTheNextRow() {
        QFETCH(QString, action);
        int exits = 0;
        ui::SetEndProgramHook([&](int) { ++exits; });
        frmquery& w = OpenWindow();
        std::size_t opened = 0;
        bool closedFlags[2] = {false, false};
        int handlerCalls[2] = {0, 0};
        bool closedAtOnce = false;
        w.SetRecordsetOpener([&](const QString&) -> std::unique_ptr<data::Recordset> {
            const bool first = opened == 0;
            auto rs = std::make_unique<WaitingRecordset>(Rows(first ? 50 : 2), 3, [&] {
                if (action == QLatin1String("stop")) {
                    PostClick(w.CmdStop);
                } else if (action == QLatin1String("search")) {
                    PostClick(w.CmdQuery);
                } else if (action == QLatin1String("exit")) {
                    QMetaObject::invokeMethod(
                        &w, [] { ui::EndProgram(0); }, Qt::QueuedConnection);
                } else {
                    QMetaObject::invokeMethod(&w, &QWidget::close, Qt::QueuedConnection);
                    QMetaObject::invokeMethod(
                        &w, [&] { closedAtOnce = closedFlags[0]; }, Qt::QueuedConnection);
                }
            });
            rs->closedFlag = &closedFlags[opened];
            rs->handlerCalls = &handlerCalls[opened];
            ++opened;
            return rs;
        });
        QTest::mouseClick(w.CmdQuery, Qt::LeftButton);
        w.SetRecordsetOpener({});

        QVERIFY(closedFlags[0]);
        QVERIFY(handlerCalls[0] >= 1);
        QVERIFY(handlerCalls[0] < 1000); // the search gave up, not the result set
        if (action == QLatin1String("stop")) {
            QCOMPARE(opened, std::size_t(1));
            QCOMPARE(w.Grid->Rows(), 1 + 3); // the rows before the wait, and no more
        } else if (action == QLatin1String("search")) {
            QCOMPARE(opened, std::size_t(2));
            QVERIFY(closedFlags[1]);
            QCOMPARE(w.Grid->Rows(), 1 + 2); // the later search's rows only
            QCOMPARE(w.Grid->TextMatrix(1, 1), QStringLiteral("船东2"));
        } else if (action == QLatin1String("exit")) {
            QCOMPARE(exits, 1);
            QCOMPARE(opened, std::size_t(1));
            QCOMPARE(w.Grid->Rows(), 1 + 3);
        } else {
            QVERIFY(closedAtOnce);
            QVERIFY(!w.IsLoaded());
        }
    }
};

int main(int argc, char* argv[]) {
    // As the program starts: the choice is made before the application object.
    qunsetenv("QT_NO_GLIB");
    ui::ChooseEventDispatcher();
    QApplication app(argc, argv);
    TestEventLoop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_eventloop.moc"
