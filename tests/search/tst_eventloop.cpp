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
    void cleanup() { forms::DestroyAll(); }

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
