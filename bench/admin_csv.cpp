// thalvane-bench-admin: thalvane-admin's import and export of 100,000 rows against what
// the engine itself takes for the same rows.
//
//  - insert floor: the rows, already in memory as text, inserted with one prepared
//    statement in one transaction on a keyed file (how the database builder fills it);
//  - import: admin::Import of the same rows from a CSV file on disk: reading, decoding,
//    parsing, checking and inserting, into a file made by init;
//  - scan floor: "select * from Thalvane order by id" stepped through, every field read as
//    text;
//  - export: admin::Export of every row to a CSV file, renamed into place.
// Each is run three times; the medians and the ratios are printed.
//
// Usage: thalvane-bench-admin [ROWS]

#include "admin.h"
#include "csv.h"
#include "data/sqlcipher/sqlitehandle.h"
#include "data/statements.h"
#include "dbbuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRuns = 3;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Rows like the synthetic ones of the demo command, with quotes, commas and line breaks.
QList<QStringList> Rows(int count) {
    QList<QStringList> rows;
    rows.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i).rightJustified(6, QLatin1Char('0'));
        rows << QStringList{
            QStringLiteral("合成船东%1 \"Synthetic\" Shipping, %1").arg(n),
            i % 2 ? QStringLiteral("中国") : QStringLiteral("Ελλάδα"),
            QStringLiteral("航运大道%1号\r\n上海").arg(i % 999 + 1),
            QStringLiteral("+86-21-6%1").arg(n),
            QStringLiteral("+86-21-7%1").arg(n),
            QStringLiteral("www.synthetic%1.example").arg(n),
            QStringLiteral("info@synthetic%1.example").arg(n),
            QStringLiteral("合成数据，用于性能测试。\r\n船队规模：%1 艘。").arg(i % 120 + 1),
            QStringLiteral("合成子公司%1").arg(n)};
    }
    return rows;
}

double InsertFloorMs(const QString& path, const QList<QStringList>& rows) {
    dbbuilder::Database db = dbbuilder::Database::Create(path);
    QStringList names;
    QStringList marks;
    for (const QString& field : data::TextFields()) {
        names << QLatin1Char('"') + field + QLatin1Char('"');
        marks << QStringLiteral("?");
    }
    const QByteArray sql = (QStringLiteral("INSERT INTO Thalvane (") + names.join(',') +
                            QStringLiteral(") VALUES (") + marks.join(',') + QLatin1Char(')'))
                               .toUtf8();
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &stmt, nullptr);
    db.exec(QStringLiteral("BEGIN"));
    for (const QStringList& row : rows) {
        for (int f = 0; f < row.size(); ++f) {
            const QByteArray text = row.at(f).toUtf8();
            sqlite3_bind_text(stmt, f + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(stmt) != SQLITE_DONE)
            std::fprintf(stderr, "insert failed: %s\n", sqlite3_errmsg(db.handle()));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    db.exec(QStringLiteral("COMMIT"));
    return double(timer.nsecsElapsed()) / 1e6;
}

double ScanFloorMs(const QString& path, qint64& rows) {
    QElapsedTimer timer;
    timer.start();
    auto handle = data::sqlite::OpenKeyed(path, data::kPassword.toUtf8());
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(handle->get(), "select * from Thalvane order by id", -1, &stmt, nullptr);
    qsizetype characters = 0;
    rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            characters += QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)).size();
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (characters == 0)
        std::fprintf(stderr, "nothing read\n");
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QList<QStringList> rows = Rows(count);
    QString text;
    csv::AppendRecord(text, data::TextFields());
    for (const QStringList& row : rows)
        csv::AppendRecord(text, row);
    const QString csvFile = dir.filePath(QStringLiteral("rows.csv"));
    {
        QFile file(csvFile);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(csv::kUtf8Bom + text.toUtf8());
    }

    std::vector<double> insert, import, scan, exportMs;
    try {
        for (int run = 0; run < kRuns; ++run) {
            const QString floorDb = dir.filePath(QStringLiteral("floor%1.bcd").arg(run));
            insert.push_back(InsertFloorMs(floorDb, rows));

            const QString db = dir.filePath(QStringLiteral("import%1.bcd").arg(run));
            admin::Init(db, false);
            QElapsedTimer timer;
            timer.start();
            const admin::ImportResult imported = admin::Import(db, csvFile, {});
            import.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (imported.rows != count)
                std::fprintf(stderr, "imported %lld rows\n", static_cast<long long>(imported.rows));

            qint64 scanned = 0;
            scan.push_back(ScanFloorMs(db, scanned));
            timer.restart();
            const qint64 exported = admin::Export(db, dir.filePath(QStringLiteral("out.csv")), {});
            exportMs.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (exported != count || scanned != count)
                std::fprintf(stderr, "exported %lld, scanned %lld rows\n",
                             static_cast<long long>(exported), static_cast<long long>(scanned));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%d rows, CSV file %.1f MiB, medians of %d runs\n", count,
                double(QFile(csvFile).size()) / (1024.0 * 1024.0), kRuns);
    std::printf("| work | floor ms | tool ms | ratio |\n|---|---:|---:|---:|\n");
    std::printf("| import vs bulk insert | %.0f | %.0f | %.2f |\n", Median(insert), Median(import),
                Median(import) / Median(insert));
    std::printf("| export vs scan | %.0f | %.0f | %.2f |\n", Median(scan), Median(exportMs),
                Median(exportMs) / Median(scan));
    return 0;
}
