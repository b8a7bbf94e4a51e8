// thalvane-bench-longtext: how long the record and search windows take with texts of
// 0.1, 1 and 5 MB in one line (no line break anywhere), and the longest pause of the
// event loop meanwhile.
//
// For each size, on a database made for it:
//  - show: the record window shown for a row whose 公司简介 and 电话 hold the text, from
//    Show() until the window has been painted;
//  - paste: the text pasted into the empty 子公司介绍 box (Ctrl+V), until painted;
//  - save: the save of the row, the pasted box included, until its message;
//  - search: a search that lists the row, its name holding the text, until fitted;
// and the longest gap between two passes of the event loop during all of it.
//
// Usage: thalvane-bench-longtext

#include "data/databasefile.h"
#include "data/sharedconnection.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "dbbuilder.h"
#include "record/frminfo.h"
#include "search/frmquery.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/msgbox.h"
#include "ui/textboxes.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {

// The longest time between two passes of the event loop, as an observer of the
// dispatcher's wake-ups sees it.
class GapWatch : public QObject {
public:
    GapWatch() {
        timer_.start();
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this,
                [this] { longest_ = std::max(longest_, timer_.restart()); });
    }
    qint64 Longest() {
        longest_ = std::max(longest_, timer_.restart());
        return longest_;
    }
    void Reset() {
        longest_ = 0;
        timer_.restart();
    }

private:
    QElapsedTimer timer_;
    qint64 longest_ = 0;
};

// Runs the event loop until nothing is left to do: painting included.
void Settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// A line of about `bytes` UTF-8 bytes with no line break: Latin, digits and Chinese.
QString OneLine(int bytes) {
    QString text;
    const QString unit = QStringLiteral("远洋航运Shipping0123"); // 28 bytes in UTF-8
    while (text.size() * 28 / unit.size() < bytes)
        text += unit;
    return text;
}

struct Figures {
    qint64 show = 0, paste = 0, save = 0, search = 0, gap = 0;
};

Figures Measure(int bytes) {
    const QString text = OneLine(bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shipman.bcd"));
    qint32 id = 0;
    {
        dbbuilder::Database db = dbbuilder::Database::Create(path);
        id = db.insert(
            {{data::kFieldName, text}, {data::kFieldPhone, text}, {data::kFieldProfile, text}});
    }
    modGeneral::gConn().Open(data::kConnectionHead + dir.path() + data::kDatabaseFile,
                             data::kUserId, data::kPassword);
    ui::SetMsgBoxHook([](const platform::MsgBoxCall&) { return int(platform::vbOK); });
    GapWatch gaps;
    Figures f;
    QElapsedTimer clock;

    frminfo& info = forms::Get<frminfo>();
    info.shipId = id;
    clock.start();
    info.Show();
    Settle();
    f.show = clock.elapsed();

    QGuiApplication::clipboard()->setText(text);
    info.Txt[8]->setFocus();
    clock.restart();
    QTest::keyClick(info.Txt[8], Qt::Key_V, Qt::ControlModifier);
    Settle();
    f.paste = clock.elapsed();

    clock.restart();
    QTest::mouseClick(info.CmdQuery, Qt::LeftButton);
    Settle();
    f.save = clock.elapsed();
    info.Unload();

    frmquery& query = forms::Get<frmquery>();
    query.Show();
    Settle();
    clock.restart();
    query.RunQuery();
    Settle();
    f.search = clock.elapsed();
    f.gap = gaps.Longest();

    forms::DestroyAll();
    modGeneral::ResetConnection();
    ui::SetMsgBoxHook({});
    return f;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ui::InstallFontFallbacks();
    data::RegisterEmbeddedEngine();
    std::printf("| text in one line | show record | paste | save | search | longest pause |\n"
                "|---|---|---|---|---|---|\n");
    for (const int bytes : {100'000, 1'000'000, 5'000'000}) {
        try {
            const Figures f = Measure(bytes);
            std::printf("| %.1f MB | %lld ms | %lld ms | %lld ms | %lld ms | %lld ms |\n",
                        bytes / 1e6, static_cast<long long>(f.show),
                        static_cast<long long>(f.paste), static_cast<long long>(f.save),
                        static_cast<long long>(f.search), static_cast<long long>(f.gap));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "thalvane-bench-longtext: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}
