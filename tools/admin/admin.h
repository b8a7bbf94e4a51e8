#pragma once
// What thalvane-admin does with a database file: make one, fill it from a CSV file, write
// its rows to one, copy it while the program may have it open, and check it. Every
// operation opens the file as the program does (the embedded engine's keyed open, the
// program's password and cipher settings) and throws admin::Failure with a sentence for
// the user when it cannot do its work.

#include "csv.h"

#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

namespace admin {

class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Called now and then during long work with what is done of the total (rows or pages).
using Progress = std::function<void(qint64 done, qint64 total)>;

// The program's own database file: shipman.bcd in its system directory.
QString DefaultDatabasePath();

// A new database holding the empty table; an existing file is replaced only with force.
void Init(const QString& path, bool force);
// A new database holding the sample shipowners, or count synthetic ones.
void Demo(const QString& path, std::optional<qint32> syntheticCount, bool force);

struct ImportOptions {
    csv::Encoding encoding = csv::Encoding::Detect;
    bool dryRun = false;  // check everything, write nothing
    bool keepIds = false; // give rows the ids of the file's id column
    Progress progress;
};
struct ImportResult {
    qint64 rows = 0;
    csv::Encoding encoding = csv::Encoding::Utf8;
};
// Adds the rows of a CSV file whose first line names the columns, in one transaction:
// every row or none.
ImportResult Import(const QString& database, const QString& csvFile, const ImportOptions& options);

struct ExportOptions {
    QString nameFilter; // as the search window's shipowner-name box
    QString countryFilter;
    Progress progress;
};
// Writes the rows the search finds for the filters (all rows without filters), lowest id
// first, to a CSV file in UTF-8 with a byte-order mark. The file appears only when it is
// complete. Returns the number of rows written.
qint64 Export(const QString& database, const QString& csvFile, const ExportOptions& options);

// Copies the database as it is at one moment, while other programs may go on writing,
// to a file beside destination, checks the copy and then renames it to destination.
// An existing destination is replaced only with force. Returns the rows of the copy.
qint64 Backup(const QString& database, const QString& destination, bool force,
              const Progress& progress = {});

struct CheckReport {
    QStringList integrity;      // what PRAGMA integrity_check said ("ok" when sound)
    bool hasTable = false;      // the table Thalvane is there
    QStringList missingColumns; // fields of the table that are not there
    qint64 rows = -1;           // the rows of the table, -1 without one
    bool sound() const {
        return integrity == QStringList{QStringLiteral("ok")} && hasTable &&
               missingColumns.isEmpty();
    }
};
// Checks the file; throws Failure only when it cannot be opened at all.
CheckReport Check(const QString& database);

// The column of a CSV header name: a field's own (Chinese) name, its English name
// (without regard to case) or "id"; an empty text for a name that is none of these.
QString ColumnOfHeader(const QString& name);

} // namespace admin
