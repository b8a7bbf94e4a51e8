#include "admin.h"

#include "data/connectionstring.h"
#include "data/databasefile.h"
#include "data/sqlcipher/cipher.h"
#include "data/sqlcipher/sqlitehandle.h"
#include "data/statements.h"
#include "dbbuilder.h"
#include "platform/fileaccess.h"
#include "platform/sysdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QThread>
#include <algorithm>
#include <memory>
#include <sqlite3.h>

namespace admin {

namespace {

using data::EngineError;
using data::FailureKind;
using data::sqlite::HandlePtr;

// English names of the columns, as docs/DATABASE.md lists them beside the Chinese ones.
const QHash<QString, QString>& EnglishNames() {
    static const QHash<QString, QString> names{
        {QStringLiteral("id"), data::kFieldId},
        {QStringLiteral("name"), data::kFieldName},
        {QStringLiteral("country"), data::kFieldCountry},
        {QStringLiteral("address"), data::kFieldAddress},
        {QStringLiteral("telephone"), data::kFieldPhone},
        {QStringLiteral("fax"), data::kFieldFax},
        {QStringLiteral("web"), data::kFieldWeb},
        {QStringLiteral("email"), data::kFieldEmail},
        {QStringLiteral("profile"), data::kFieldProfile},
        {QStringLiteral("subsidiaries"), data::kFieldSubsidiaries}};
    return names;
}

QString KindText(FailureKind kind) {
    switch (kind) {
    case FailureKind::Busy:
        return QStringLiteral("another program keeps the database locked");
    case FailureKind::ReadOnly:
        return QStringLiteral("the database is read-only for this user");
    case FailureKind::DiskFull:
        return QStringLiteral("the disk is full");
    case FailureKind::IoError:
        return QStringLiteral("the disk could not be read or written");
    case FailureKind::Damaged:
        return QStringLiteral("the database file is damaged");
    default:
        return QString();
    }
}

// A failure of the engine in words for the user, the engine's own text in brackets.
QString Describe(const EngineError& error) {
    const QString kind = KindText(error.kind());
    return kind.isEmpty() ? error.message()
                          : kind + QStringLiteral(" (") + error.message() + QLatin1Char(')');
}

// Why a file the key does not read is refused: a plain SQLite file, a file that looks
// like an SQLCipher database (whole pages of what reads as noise), or anything else.
QString Unreadable(const QString& path) {
    QFile file(path);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly))
        head = file.read(16);
    if (head == QByteArrayLiteral("SQLite format 3\0"))
        return QStringLiteral("%1 is an SQLite database without the program's encryption")
            .arg(path);
    const qint64 size = QFileInfo(path).size();
    if (size > 0 && size % data::cipher::kPageSize == 0)
        return QStringLiteral("%1 does not open with the program's password (wrong password, "
                              "or a damaged or foreign file)")
            .arg(path);
    return QStringLiteral("%1 is not a database").arg(path);
}

HandlePtr Open(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(QStringLiteral("%1: no such file").arg(path));
    if (!info.isFile())
        throw Failure(QStringLiteral("%1 is not a file").arg(path));
    try {
        return data::sqlite::OpenKeyed(path, data::kPassword.toUtf8());
    } catch (const EngineError& e) {
        if (e.kind() == FailureKind::Damaged)
            throw Failure(Unreadable(path));
        throw Failure(path + QStringLiteral(": ") + Describe(e));
    }
}

// A prepared statement, finalised on scope exit.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql)
        : db_(db), stmt_(data::sqlite::PrepareOne(db, sql)) {}
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    // Steps once; true when a row is there. Throws EngineError.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw data::sqlite::Failure(db_, rc);
        return false;
    }
    QString text(int column) const {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column));
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

void Exec(sqlite3* db, const char* sql) {
    if (const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        throw data::sqlite::Failure(db, rc);
}

bool HasTable(sqlite3* db) {
    Statement find(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                      "name = 'Thalvane' COLLATE NOCASE"));
    return find.step();
}

qint64 CountRows(sqlite3* db, const QString& conditions = QString()) {
    Statement count(db, QStringLiteral("select count(*) from Thalvane where 1=1 ") + conditions);
    count.step();
    return sqlite3_column_int64(count.get(), 0);
}

HandlePtr OpenWithTable(const QString& path) {
    HandlePtr db = Open(path);
    try {
        if (!HasTable(db->get()))
            throw Failure(QStringLiteral("%1 has no table Thalvane").arg(path));
    } catch (const EngineError& e) {
        throw Failure(path + QStringLiteral(": ") + Describe(e));
    }
    return db;
}

// Reports progress about a hundred times over the whole work.
class Throttle {
public:
    Throttle(const Progress& progress, qint64 total) : progress_(progress), total_(total) {
        step_ = std::max<qint64>(1, total / 100);
    }
    void operator()(qint64 done) {
        if (progress_ && (done - last_ >= step_ || done == total_)) {
            last_ = done;
            progress_(done, total_);
        }
    }

private:
    const Progress& progress_;
    qint64 total_;
    qint64 step_;
    qint64 last_ = 0;
};

void RemoveWithJournals(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        if (QFileInfo::exists(path + suffix) && !QFile::remove(path + suffix))
            throw Failure(QStringLiteral("cannot remove %1").arg(path + suffix));
}

bool FolderWritable(const QString& path) {
    return platform::CanWrite(QFileInfo(path).absolutePath().toStdString());
}

} // namespace

QString DefaultDatabasePath() {
    return data::LocalDatabasePath(QString::fromStdString(platform::GetSystemDirectory()) +
                                   data::kDatabaseFile);
}

QString ColumnOfHeader(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed == data::kFieldId || data::TextFields().contains(trimmed))
        return trimmed;
    return EnglishNames().value(trimmed.toLower());
}

void Init(const QString& path, bool force) {
    Demo(path, 0, force);
}

void Demo(const QString& path, std::optional<qint32> syntheticCount, bool force) {
    try {
        dbbuilder::BuildDatabaseFile(path, syntheticCount, force);
    } catch (const dbbuilder::BuildError& e) {
        throw Failure(QString::fromUtf8(e.what()));
    }
}

ImportResult Import(const QString& database, const QString& csvFile, const ImportOptions& options) {
    QFile file(csvFile);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("cannot read %1: %2").arg(csvFile, file.errorString()));
    const QByteArray bytes = file.readAll();
    file.close();

    // The whole file is read and checked before the database is touched.
    ImportResult result;
    QList<csv::Record> records;
    try {
        csv::Decoded decoded = csv::Decode(bytes, options.encoding);
        result.encoding = decoded.encoding;
        records = csv::Parse(decoded.text);
    } catch (const csv::CsvError& e) {
        throw Failure(csvFile + QStringLiteral(": ") + e.describe());
    } catch (const csv::EncodingUnavailable& e) {
        throw Failure(csvFile + QStringLiteral(": ") + e.reason());
    }
    const auto fault = [&](qsizetype line, const QString& reason) {
        return Failure(csvFile + QStringLiteral(": ") + csv::CsvError(line, reason).describe());
    };
    if (records.isEmpty())
        throw fault(1, QStringLiteral("the file is empty; its first line must name the columns"));

    // Which column of the file feeds which field.
    const csv::Record& header = records.front();
    QList<int> fieldOfColumn; // index into TextFields(), -1 for the id, -2 for ignored
    const QStringList fields = data::TextFields();
    QStringList seen;
    int idColumn = -1;
    for (qsizetype c = 0; c < header.fields.size(); ++c) {
        const QString column = ColumnOfHeader(header.fields.at(c));
        if (column.isEmpty())
            throw fault(header.line,
                        QStringLiteral("unknown column \"%1\"").arg(header.fields.at(c)));
        if (seen.contains(column))
            throw fault(header.line, QStringLiteral("column %1 is named twice").arg(column));
        seen << column;
        if (column == data::kFieldId) {
            idColumn = int(c);
            fieldOfColumn << (options.keepIds ? -1 : -2);
        } else {
            fieldOfColumn << int(fields.indexOf(column));
        }
    }
    for (qsizetype r = 1; r < records.size(); ++r) {
        const csv::Record& record = records.at(r);
        if (record.fields.size() != header.fields.size())
            throw fault(record.line, QStringLiteral("%1 fields, but the first line names %2 "
                                                    "columns")
                                         .arg(record.fields.size())
                                         .arg(header.fields.size()));
        if (options.keepIds && idColumn >= 0) {
            const QString id = record.fields.at(idColumn).trimmed();
            bool ok = id.isEmpty();
            if (!ok) {
                const qint32 value = id.toInt(&ok);
                ok = ok && value > 0;
            }
            if (!ok)
                throw fault(record.line,
                            QStringLiteral("id \"%1\" is not a whole number above 0").arg(id));
        }
    }

    HandlePtr handle = OpenWithTable(database);
    sqlite3* db = handle->get();
    if (handle->ReadOnly())
        throw Failure(
            QStringLiteral("%1 is read-only for this user; nothing was imported").arg(database));
    QStringList names{QStringLiteral("id")};
    QStringList marks{QStringLiteral("?")};
    for (const QString& field : fields) {
        names << QLatin1Char('"') + field + QLatin1Char('"');
        marks << QStringLiteral("?");
    }
    const qint64 rows = records.size() - 1;
    qsizetype line = header.line;
    try {
        Exec(db, "BEGIN IMMEDIATE");
        try {
            Statement insert(db, QStringLiteral("INSERT INTO Thalvane (") +
                                     names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                                     marks.join(QLatin1Char(',')) + QLatin1Char(')'));
            sqlite3_stmt* stmt = insert.get();
            Throttle report(options.progress, rows);
            QList<QByteArray> values(fields.size());
            for (qint64 r = 1; r <= rows; ++r) {
                const csv::Record& record = records.at(r);
                line = record.line;
                for (QByteArray& value : values)
                    value.clear();
                sqlite3_bind_null(stmt, 1);
                for (qsizetype c = 0; c < record.fields.size(); ++c) {
                    const int field = fieldOfColumn.at(c);
                    if (field >= 0) {
                        values[field] = record.fields.at(c).toUtf8();
                    } else if (field == -1 && !record.fields.at(c).trimmed().isEmpty()) {
                        sqlite3_bind_int64(stmt, 1, record.fields.at(c).trimmed().toLongLong());
                    }
                }
                // Every field is written as text, an absent column as the empty text, as
                // the program writes them; never Null.
                for (int f = 0; f < values.size(); ++f)
                    sqlite3_bind_text(stmt, f + 2, values[f].constData(), int(values[f].size()),
                                      SQLITE_STATIC);
                const int rc = sqlite3_step(stmt);
                if ((rc & 0xFF) == SQLITE_CONSTRAINT && options.keepIds && idColumn >= 0)
                    throw fault(line, QStringLiteral("id %1 is already taken")
                                          .arg(record.fields.at(idColumn).trimmed()));
                if (rc != SQLITE_DONE)
                    throw data::sqlite::Failure(db, rc);
                sqlite3_reset(stmt);
                report(r);
            }
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        if (options.dryRun)
            Exec(db, "ROLLBACK");
        else if (const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
                 rc != SQLITE_OK) {
            const EngineError failure = data::sqlite::Failure(db, rc);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw failure;
        }
    } catch (const EngineError& e) {
        throw Failure(QStringLiteral("%1: %2; nothing was imported").arg(database, Describe(e)));
    }
    result.rows = rows;
    return result;
}

qint64 Export(const QString& database, const QString& csvFile, const ExportOptions& options) {
    HandlePtr handle = OpenWithTable(database);
    sqlite3* db = handle->get();
    const QStringList fields = data::TextFields();
    QStringList header{data::kFieldId};
    header << fields;

    QSaveFile out(csvFile);
    if (!out.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("cannot write %1: %2").arg(csvFile, out.errorString()));
    const auto writeFailure = [&] {
        const QString why = out.error() == QFileDevice::ResourceError
                                ? QStringLiteral("the disk is full (%1)").arg(out.errorString())
                                : out.errorString();
        out.cancelWriting();
        return Failure(QStringLiteral("cannot write %1: %2").arg(csvFile, why));
    };
    qint64 rows = 0;
    try {
        const qint64 total =
            options.progress
                ? CountRows(db, data::SearchConditions(options.nameFilter, options.countryFilter))
                : 0;
        Throttle report(options.progress, total);
        Statement select(db, data::ExportStatement(options.nameFilter, options.countryFilter));
        sqlite3_stmt* stmt = select.get();
        // The result's columns by name, in the order of the file.
        QList<int> columns;
        for (const QString& name : header) {
            int found = -1;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                if (QString::fromUtf8(sqlite3_column_name(stmt, c)) == name)
                    found = c;
            if (found < 0)
                throw Failure(QStringLiteral("%1: the table has no column %2").arg(database, name));
            columns << found;
        }
        if (out.write(csv::kUtf8Bom) != csv::kUtf8Bom.size())
            throw writeFailure();
        QString buffer;
        csv::AppendRecord(buffer, header);
        QStringList values(header.size());
        const auto flush = [&] {
            const QByteArray bytes = buffer.toUtf8();
            if (out.write(bytes) != bytes.size())
                throw writeFailure();
            buffer.clear();
        };
        while (select.step()) {
            for (qsizetype c = 0; c < columns.size(); ++c)
                values[c] = select.text(columns.at(c)); // Null gives the empty text
            csv::AppendRecord(buffer, values);
            ++rows;
            if (buffer.size() > 256 * 1024)
                flush();
            report(rows);
        }
        flush();
    } catch (const EngineError& e) {
        out.cancelWriting();
        throw Failure(database + QStringLiteral(": ") + Describe(e));
    }
    if (!out.commit())
        throw writeFailure();
    return rows;
}

qint64 Backup(const QString& database, const QString& destination, bool force,
              const Progress& progress) {
    if (QFileInfo(destination).isDir())
        throw Failure(QStringLiteral("%1 is a folder").arg(destination));
    if (QFileInfo::exists(destination) && !force)
        throw Failure(
            QStringLiteral("%1 already exists; use --force to replace it").arg(destination));
    if (!QFileInfo(QFileInfo(destination).absolutePath()).isDir())
        throw Failure(
            QStringLiteral("%1: no such folder").arg(QFileInfo(destination).absolutePath()));
    if (!FolderWritable(destination))
        throw Failure(QStringLiteral("cannot write %1: the folder is read-only for this user")
                          .arg(destination));

    if (QFileInfo::exists(destination) &&
        QFileInfo(destination).canonicalFilePath() == QFileInfo(database).canonicalFilePath())
        throw Failure(QStringLiteral("%1 is the database itself").arg(destination));
    HandlePtr source = OpenWithTable(database);
    sqlite3* src = source->get();
    const QString partial = destination + QStringLiteral(".part");
    RemoveWithJournals(partial);
    qint64 rows = 0;
    try {
        // A read transaction held over the whole copy: every step reads the same snapshot,
        // whatever other connections write meanwhile, and the count belongs to it.
        Exec(src, "BEGIN");
        rows = CountRows(src);
        sqlite3* raw = nullptr;
        const int opened = sqlite3_open_v2(data::sqlite::FileName(partial).constData(), &raw,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        std::unique_ptr<sqlite3, int (*)(sqlite3*)> dest(raw, sqlite3_close);
        if (opened != SQLITE_OK)
            throw data::sqlite::Failure(raw, opened, partial);
        // The copy is keyed like the file itself; SQLCipher copies page by page only
        // between files of the same key and page size.
        if (const int keyed = data::cipher::ApplyKey(raw, data::kPassword.toUtf8());
            keyed != SQLITE_OK)
            throw data::sqlite::Failure(raw, keyed, partial);
        sqlite3_backup* backup = sqlite3_backup_init(raw, "main", src, "main");
        if (!backup)
            throw data::sqlite::Failure(raw, sqlite3_errcode(raw), partial);
        int rc;
        constexpr int kPagesPerStep = 1024;
        do {
            rc = sqlite3_backup_step(backup, kPagesPerStep);
            if (progress) {
                const int total = sqlite3_backup_pagecount(backup);
                progress(total - sqlite3_backup_remaining(backup), total);
            }
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                QThread::msleep(50);
        } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE)
            throw data::sqlite::Failure(raw, rc, partial);
        dest.reset();
        sqlite3_exec(src, "COMMIT", nullptr, nullptr, nullptr);
    } catch (const EngineError& e) {
        sqlite3_exec(src, "ROLLBACK", nullptr, nullptr, nullptr);
        RemoveWithJournals(partial);
        throw Failure(QStringLiteral("cannot write %1: %2").arg(destination, Describe(e)));
    }
    source.reset();

    // The copy must read back whole, with the rows of the snapshot, before it takes the
    // destination's name.
    try {
        const CheckReport report = Check(partial);
        if (!report.sound() || report.rows != rows)
            throw Failure(QStringLiteral("the copy does not check: %1, %2 rows instead of %3")
                              .arg(report.integrity.join(QStringLiteral("; ")))
                              .arg(report.rows)
                              .arg(rows));
    } catch (const Failure& e) {
        RemoveWithJournals(partial);
        throw Failure(QStringLiteral("cannot back up to %1: %2").arg(destination, e.message()));
    }
    RemoveWithJournals(destination);
    if (!QFile::rename(partial, destination))
        throw Failure(QStringLiteral("cannot rename %1 to %2").arg(partial, destination));
    return rows;
}

CheckReport Check(const QString& database) {
    HandlePtr handle = Open(database);
    sqlite3* db = handle->get();
    CheckReport report;
    try {
        Statement integrity(db, QStringLiteral("PRAGMA integrity_check"));
        while (integrity.step())
            report.integrity << integrity.text(0);
        report.hasTable = HasTable(db);
        if (report.hasTable) {
            QStringList present;
            Statement columns(db, QStringLiteral("PRAGMA table_info(Thalvane)"));
            while (columns.step())
                present << columns.text(1);
            QStringList expected{data::kFieldId};
            expected << data::TextFields();
            for (const QString& column : expected)
                if (!present.contains(column))
                    report.missingColumns << column;
            report.rows = CountRows(db);
        }
    } catch (const EngineError& e) {
        // A file the key opens but whose pages cannot be read is unsound, not unknown.
        report.integrity << Describe(e);
    }
    return report;
}

} // namespace admin
