// thalvane-bench-search: how fast the search window lists large results.
//
// For 1,000, 32,767 and 100,000 matching rows in synthetic databases made by the demo
// builder, each size measured in a process of its own so that its peak memory is its own:
//  - the longest gap between two iterations of the event loop during the first search
//    of a program that has just opened its connection and loaded the window, and during
//    the repeat search that follows it, and during a search that finds nothing (the
//    engine goes through every row), from the call to RunQuery until it returned
//    (clearing, filling and fitting included);
//  - bare loop: the engine alone, the same statement stepped through with SQLite's C
//    interface on a handle keyed as the program keys its own, the five fields read as
//    bytes;
//  - floor: the iteration of the search's result set as the fill does it (end test, five
//    field texts, move to the next record), without any window;
//  - fill: RunQuery of the real search window, shown offscreen, from the click to the
//    fitted columns (the same statement);
//  - the ratios of fill to floor and to the bare loop, medians of three runs each;
//  - the peak memory of the process (getrusage maxrss) and the memory it holds once a
//    search has ended and the rows of the one before are freed (settled);
//  - Stop: a click on Stop queued as an ordinary mouse event halfway through a fill; the
//    rows listed after it was queued and the time until RunQuery returned;
//  - the number of times the grid was painted while the rows arrived;
//  - the time the connection took to open (the keys derived from the password).
//
// Usage: thalvane-bench-search            (1,000, 32,767 and 100,000 rows, in child processes)
//        thalvane-bench-search ROWS...    (the given sizes, in child processes)
//        thalvane-bench-search DB ROWS    (one size, on an existing database)

#include "data/databasefile.h"
#include "data/engine.h"
#include "data/sharedconnection.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/sqlcipher/sqlitehandle.h"
#include "data/statements.h"
#include "data/valuerules.h"
#include "dbbuilder.h"
#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/program.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

const int kSizes[] = {1000, 32767, 100000};
constexpr int kRuns = 3;
// Every synthetic name holds this, so every row matches.
const QString kNameFilter = QStringLiteral("Synthetic");

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The memory the process holds now.
double ResidentMiB() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The search's result set read as the fill reads it, with nothing else done.
double FloorMs(const QString& statement, int expectedRows) {
    QElapsedTimer timer;
    timer.start();
    auto rs =
        modGeneral::gConn().OpenRecordset(statement, data::adOpenStatic, data::adLockReadOnly);
    const int fields[] = {rs->FieldIndex(data::kFieldName), rs->FieldIndex(data::kFieldCountry),
                          rs->FieldIndex(data::kFieldPhone), rs->FieldIndex(data::kFieldAddress),
                          rs->FieldIndex(data::kFieldId)};
    int rows = 0;
    qsizetype characters = 0;
    while (!rs->Eof()) {
        for (const int field : fields)
            characters += rs->TextAt(field).size();
        rs->MoveNext();
        ++rows;
    }
    rs->Close();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (rows != expectedRows || characters == 0)
        std::fprintf(stderr, "floor read %d rows, expected %d\n", rows, expectedRows);
    return ms;
}

// The engine alone: the same statement on a handle keyed as the program keys its own,
// stepped through with the C interface, the five fields' bytes read and nothing made of
// them. No program that shows the rows can be faster.
double BareLoopMs(sqlite3* db, const QString& statement, int expectedRows) {
    QElapsedTimer timer;
    timer.start();
    const QByteArray text = statement.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bare loop: %s\n", sqlite3_errmsg(db));
        return 0;
    }
    int rows = 0;
    long long bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < 5; ++c) {
            if (sqlite3_column_text(stmt, c))
                bytes += sqlite3_column_bytes(stmt, c);
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (rows != expectedRows || bytes == 0)
        std::fprintf(stderr, "bare loop read %d rows, expected %d\n", rows, expectedRows);
    return ms;
}

// Counts paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void QueueClick(QWidget* widget) {
    const QPointF local = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(local);
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// Queues a click on Stop and notes how many rows were listed when it was queued and
// when the button saw it.
class StopWatch : public QObject {
public:
    StopWatch(QPushButton* button, FlexGrid& grid) : button_(button), grid_(grid) {
        button_->installEventFilter(this);
    }
    void QueueClick() {
        rowsWhenQueued = grid_.Rows() - 1;
        sinceQueued.start();
        ::QueueClick(button_);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease)
            rowsWhenSeen = grid_.Rows() - 1;
        return false;
    }

    QElapsedTimer sinceQueued;
    int rowsWhenQueued = -1;
    int rowsWhenSeen = -1;

private:
    QPushButton* button_;
    FlexGrid& grid_;
};

// Passes every call on to the search's result set and queues a click on Stop before the
// end-of-data test of the given row.
class StopAtRow : public data::Recordset {
public:
    StopAtRow(std::unique_ptr<data::Recordset> inner, int row, StopWatch& watch)
        : inner_(std::move(inner)), row_(row), watch_(watch) {}
    bool Eof() const override {
        if (++tests_ == row_)
            watch_.QueueClick();
        return inner_->Eof();
    }
    int FieldIndex(const QString& field) const override { return inner_->FieldIndex(field); }
    QVariant ValueAt(int index) const override { return inner_->ValueAt(index); }
    QString TextAt(int index) const override { return inner_->TextAt(index); }
    void SetValue(const QString& field, const QVariant& value) override {
        inner_->SetValue(field, value);
    }
    void AddNew() override { inner_->AddNew(); }
    void Update() override { inner_->Update(); }
    void MoveNext() override { inner_->MoveNext(); }
    void Close() override { inner_->Close(); }
    bool IsOpen() const override { return inner_->IsOpen(); }

private:
    std::unique_ptr<data::Recordset> inner_;
    int row_;
    StopWatch& watch_;
    mutable int tests_ = 0;
};

// The longest time between two iterations of the event loop while a call runs: a timer
// of 0 ms fires in every iteration and notes how long it has been since the last one
// (or since the call began); the time from the last iteration to the return counts too.
class GapWatch : public QObject {
public:
    template <class Call> double LongestGapMs(Call&& call) {
        longestNs_ = 0;
        QTimer timer;
        timer.setInterval(0);
        connect(&timer, &QTimer::timeout, this, [this] { Note(); });
        timer.start();
        since_.start();
        call();
        Note();
        return double(longestNs_) / 1e6;
    }

private:
    void Note() {
        longestNs_ = std::max(longestNs_, since_.nsecsElapsed());
        since_.start();
    }
    QElapsedTimer since_;
    qint64 longestNs_ = 0;
};

// Runs the event loop until the grid has let go of the rows a search dropped.
void LetGoOfDroppedRows() {
    for (int pass = 0; pass < 100000; ++pass)
        QCoreApplication::processEvents();
}

int MeasureOneSize(const QString& dbPath, int rows) {
    const QString dir = QFileInfo(dbPath).absolutePath();
    // The longest gaps first, as a user meets them: the first search of a program that
    // has just opened its connection and loaded the window, then a repeat.
    QElapsedTimer opening;
    opening.start();
    modGeneral::gConn().Open(data::kConnectionHead + dir + data::kDatabaseFile, data::kUserId,
                             data::kPassword);
    const double openMs = double(opening.nsecsElapsed()) / 1e6;
    const QString statement = data::SearchStatement(kNameFilter, QString());
    frmquery& w = forms::Get<frmquery>();
    w.Show();
    w.Text1->setText(kNameFilter);
    GapWatch gaps;
    const double firstGap = gaps.LongestGapMs([&] { w.RunQuery(); });
    const double repeatGap = gaps.LongestGapMs([&] { w.RunQuery(); });
    // A search that finds nothing: the engine goes through every row without one to list.
    w.Text1->setText(QStringLiteral("无此船东"));
    const double noMatchGap = gaps.LongestGapMs([&] { w.RunQuery(); });
    if (w.Grid->Rows() != 1)
        std::fprintf(stderr, "the search for nothing listed %d rows\n", w.Grid->Rows() - 1);
    w.Text1->setText(kNameFilter);
    w.RunQuery();
    if (w.Grid->Rows() != rows + 1)
        std::fprintf(stderr, "the grid listed %d rows, expected %d\n", w.Grid->Rows() - 1, rows);

    QTableView* view = w.Grid->findChild<QTableView*>();
    PaintCounter paints;
    view->viewport()->installEventFilter(&paints);

    data::sqlite::HandlePtr bare = data::sqlite::OpenKeyed(dbPath, data::kPassword.toUtf8());
    std::vector<double> bares;
    std::vector<double> floors;
    std::vector<double> fills;
    for (int run = 0; run < kRuns; ++run) {
        bares.push_back(BareLoopMs(bare->get(), statement, rows));
        floors.push_back(FloorMs(statement, rows));
        paints.paints = 0;
        QElapsedTimer timer;
        timer.start();
        w.RunQuery();
        fills.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (w.Grid->Rows() != rows + 1)
            std::fprintf(stderr, "the grid listed %d rows, expected %d\n", w.Grid->Rows() - 1,
                         rows);
    }
    const int paintsDuringFill = paints.paints;
    const double bareLoop = Median(bares);
    const double floor = Median(floors);
    const double fill = Median(fills);
    bare.reset();
    LetGoOfDroppedRows();
    const double settled = ResidentMiB();

    // Stop halfway through a fill: the click is queued just before the fill yields for
    // row `half`, as a click waits in the queue while the program is busy.
    const int half = rows / 2;
    StopWatch stop(w.CmdStop, *w.Grid);
    w.SetRecordsetOpener([&](const QString& text) -> std::unique_ptr<data::Recordset> {
        auto inner =
            modGeneral::gConn().OpenRecordset(text, data::adOpenStatic, data::adLockReadOnly);
        return std::make_unique<StopAtRow>(std::move(inner), half, stop);
    });
    w.RunQuery();
    const double stopMs = double(stop.sinceQueued.nsecsElapsed()) / 1e6;
    const int rowsBeforeSeen = stop.rowsWhenSeen - stop.rowsWhenQueued;
    const int rowsAfterSeen = w.Grid->Rows() - 1 - stop.rowsWhenSeen;
    w.SetRecordsetOpener({});
    const double peak = PeakMemoryMiB();

    std::printf("%7d | %8.1f | %7.1f | %7.1f | %5.2f | %5.2f | %6.1f | %7.1f | %6d / %d | %6.1f | "
                "%5d | %6.1f | %6.1f | %6.1f | %5.1f\n",
                rows, fill, floor, bareLoop, fill / floor, fill / bareLoop, peak, settled,
                rowsBeforeSeen, rowsAfterSeen, stopMs, paintsDuringFill, firstGap, repeatGap, noMatchGap, openMs);
    std::fflush(stdout);
    forms::DestroyAll();
    return 0;
}

int MeasureAllSizes(const QString& program, const std::vector<int>& sizes) {
    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    std::printf("   rows | fill+fit | floor   | bare    | fill/ | fill/ | peak   | settled | Stop: "
                "rows | Stop   | paints | longest gap ms           | open\n");
    std::printf("        | ms       | ms      | loop ms | floor | bare  | MiB    | MiB     | until "
                "seen | to end | in     | first  | repeat | no     | conn.\n");
    std::printf("        |          |         |         |       |       |        |         | / "
                "after    | ms     | fill   | search | search | match  | ms\n");
    std::fflush(stdout);
    for (const int rows : sizes) {
        const QString dir = temp.path() + QStringLiteral("/%1").arg(rows);
        QDir().mkpath(dir);
        const QString path = dir + QStringLiteral("/shipman.bcd");
        dbbuilder::BuildDatabaseFile(path, rows, true);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(program, {path, QString::number(rows)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::fprintf(stderr, "the run for %d rows failed\n", rows);
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::ChooseEventDispatcher(); // as the program does
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ui::InstallFontFallbacks();
    data::RegisterEmbeddedEngine();
    try {
        bool firstIsNumber = false;
        if (argc > 1)
            QString(argv[1]).toInt(&firstIsNumber);
        if (argc == 3 && !firstIsNumber)
            return MeasureOneSize(QString::fromLocal8Bit(argv[1]), QString(argv[2]).toInt());
        std::vector<int> sizes(std::begin(kSizes), std::end(kSizes));
        if (argc > 1) {
            sizes.clear();
            for (int i = 1; i < argc; ++i) {
                bool ok = false;
                const int rows = QString(argv[i]).toInt(&ok);
                if (!ok || rows < 1) {
                    std::fprintf(stderr, "thalvane-bench-search: not a number of rows: %s\n",
                                 argv[i]);
                    return 1;
                }
                sizes.push_back(rows);
            }
        }
        return MeasureAllSizes(QCoreApplication::applicationFilePath(), sizes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "thalvane-bench-search: %s\n", e.what());
        return 1;
    }
}
