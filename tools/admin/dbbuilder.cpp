#include "dbbuilder.h"

#include "data/sqlcipher/cipher.h"
#include "data/sqlcipher/sqlitehandle.h"
#include "data/statements.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <sqlite3.h>
#include <utility>

static void initSampleResource() {
    Q_INIT_RESOURCE(shipowners);
}

namespace dbbuilder {

namespace {

constexpr int kBusyTimeoutMs = 5000;

QString ErrorText(sqlite3* db, const QString& what) {
    return what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db));
}

QString QuotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A prepared statement finalised on scope exit.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql) : db_(db) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt_, nullptr) !=
            SQLITE_OK) {
            sqlite3_finalize(stmt_);
            throw BuildError(ErrorText(db, sql));
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value) {
        int rc;
        if (value.isNull() || !value.isValid()) {
            rc = sqlite3_bind_null(stmt_, index);
        } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
        } else {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, text.constData(), int(text.size()),
                                   SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            throw BuildError(ErrorText(db_, QStringLiteral("bind")));
    }
    // Steps once; true when a row is available.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw BuildError(ErrorText(db_, QString::fromUtf8(sqlite3_sql(stmt_))));
    }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

QVariant ColumnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    }
}

sqlite3* OpenKeyed(const QString& path, const QByteArray& password, int flags) {
    sqlite3* db = nullptr;
    const QByteArray name = data::sqlite::FileName(path);
    if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = ErrorText(db, path);
        sqlite3_close(db);
        throw BuildError(message);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (data::cipher::ApplyKey(db, password) != SQLITE_OK) {
        const QString message = ErrorText(db, path);
        sqlite3_close(db);
        throw BuildError(message);
    }
    return db;
}

void RemoveFileAndJournals(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        if (QFileInfo::exists(path + suffix) && !QFile::remove(path + suffix))
            throw BuildError(QStringLiteral("cannot remove ") + path + suffix);
    }
}

} // namespace

Database Database::Create(const QString& path, const QByteArray& password) {
    if (QFileInfo::exists(path))
        throw BuildError(path + QStringLiteral(" already exists"));
    Database db(OpenKeyed(path, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    db.exec(data::CreateTableStatement());
    return db;
}

Database Database::OpenExisting(const QString& path, const QByteArray& password) {
    if (!QFileInfo(path).isFile())
        throw BuildError(path + QStringLiteral(" is not a file"));
    Database db(OpenKeyed(path, password, SQLITE_OPEN_READWRITE));
    db.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return db;
}

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

Database::~Database() {
    sqlite3_close(db_);
}

void Database::exec(const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = sql + QStringLiteral(": ") + QString::fromUtf8(error);
        sqlite3_free(error);
        throw BuildError(message);
    }
}

qint32 Database::insert(const QVariantMap& fields) {
    if (fields.isEmpty()) {
        exec(QStringLiteral("INSERT INTO ") + data::kTable + QStringLiteral(" DEFAULT VALUES"));
        return qint32(sqlite3_last_insert_rowid(db_));
    }
    QStringList names;
    QStringList marks;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        names << QuotedName(it.key());
        marks << QStringLiteral("?");
    }
    Statement insert(db_, QStringLiteral("INSERT INTO ") + data::kTable + QStringLiteral(" (") +
                              names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                              marks.join(QLatin1Char(',')) + QStringLiteral(")"));
    int index = 1;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        insert.bind(index++, it.value());
    insert.step();
    return qint32(sqlite3_last_insert_rowid(db_));
}

void Database::insertAll(const QList<QVariantMap>& rows) {
    exec(QStringLiteral("BEGIN"));
    try {
        for (const QVariantMap& row : rows)
            insert(row);
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Database::insertSynthetic(qint32 count) {
    static const QStringList countries{
        QStringLiteral("中国"),   QStringLiteral("希腊"),    QStringLiteral("德国"),
        QStringLiteral("日本"),   QStringLiteral("新加坡"),  QStringLiteral("挪威"),
        QStringLiteral("丹麦"),   QStringLiteral("韩国"),    QStringLiteral("Greece"),
        QStringLiteral("Norway"), QStringLiteral("Germany"), QStringLiteral("中国香港")};
    const QStringList fields = data::TextFields();
    QStringList names;
    QStringList marks;
    for (const QString& field : fields) {
        names << QuotedName(field);
        marks << QStringLiteral("?");
    }
    Statement insert(db_, QStringLiteral("INSERT INTO ") + data::kTable + QStringLiteral(" (") +
                              names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                              marks.join(QLatin1Char(',')) + QStringLiteral(")"));
    exec(QStringLiteral("BEGIN"));
    try {
        for (qint32 i = 1; i <= count; ++i) {
            const QString number = QString::number(i).rightJustified(6, QLatin1Char('0'));
            const QString country = countries.at(i % countries.size());
            const QStringList values{
                QStringLiteral("合成船东%1 Synthetic Shipping %1").arg(number),
                country,
                QStringLiteral("航运大道%1号 %2").arg(i % 999 + 1).arg(country),
                QStringLiteral("+86-21-6%1").arg(number),
                QStringLiteral("+86-21-7%1").arg(number),
                QStringLiteral("www.synthetic%1.example").arg(number),
                QStringLiteral("info@synthetic%1.example").arg(number),
                QStringLiteral("合成数据，用于性能测试。\r\n船队规模：%1 艘。").arg(i % 120 + 1),
                QStringLiteral("合成子公司%1").arg(number)};
            for (int f = 0; f < values.size(); ++f)
                insert.bind(f + 1, values.at(f));
            insert.step();
            insert.reset();
        }
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<QVariantMap> Database::row(qint32 id) const {
    Statement select(db_, QStringLiteral("SELECT * FROM ") + data::kTable +
                              QStringLiteral(" WHERE id = ?"));
    select.bind(1, QVariant(id));
    if (!select.step())
        return std::nullopt;
    QVariantMap fields;
    for (int c = 0; c < sqlite3_column_count(select.get()); ++c)
        fields.insert(QString::fromUtf8(sqlite3_column_name(select.get(), c)),
                      ColumnValue(select.get(), c));
    return fields;
}

int Database::count() const {
    Statement select(db_, QStringLiteral("SELECT count(*) FROM ") + data::kTable);
    select.step();
    return sqlite3_column_int(select.get(), 0);
}

QList<QVariantMap> ParseShipowners(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw BuildError(QStringLiteral("sample file: ") + error.errorString() +
                         QStringLiteral(" at offset ") + QString::number(error.offset));
    if (!doc.isArray())
        throw BuildError(QStringLiteral("sample file: expected an array of shipowners"));
    const QStringList known = data::TextFields();
    QList<QVariantMap> rows;
    for (const QJsonValue& entry : doc.array()) {
        if (!entry.isObject())
            throw BuildError(QStringLiteral("sample file: every shipowner is an object"));
        const QJsonObject object = entry.toObject();
        QVariantMap row;
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                throw BuildError(QStringLiteral("sample file: unknown field ") + it.key());
            if (it.value().isNull())
                row.insert(it.key(), QVariant());
            else if (it.value().isString())
                row.insert(it.key(), it.value().toString());
            else
                throw BuildError(QStringLiteral("sample file: field ") + it.key() +
                                 QStringLiteral(" must be text or null"));
        }
        rows << row;
    }
    return rows;
}

QList<QVariantMap> SampleShipowners() {
    initSampleResource();
    QFile file(QStringLiteral(":/admin/shipowners.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw BuildError(QStringLiteral("the sample shipowners are missing from the program"));
    return ParseShipowners(file.readAll());
}

void BuildDatabaseFile(const QString& path, std::optional<qint32> syntheticCount, bool overwrite) {
    if (QFileInfo::exists(path) && !overwrite)
        throw BuildError(path + QStringLiteral(" already exists; use --force to replace it"));
    if (QFileInfo(path).isDir())
        throw BuildError(path + QStringLiteral(" is a folder"));
    if (syntheticCount && *syntheticCount < 0)
        throw BuildError(QStringLiteral("the number of synthetic rows cannot be negative"));

    // Built under a temporary name and renamed when complete, so that an interrupted run
    // never leaves a half-filled database behind.
    const QString partial = path + QStringLiteral(".part");
    RemoveFileAndJournals(partial);
    try {
        Database db = Database::Create(partial);
        if (syntheticCount)
            db.insertSynthetic(*syntheticCount);
        else
            db.insertAll(SampleShipowners());
    } catch (...) {
        RemoveFileAndJournals(partial);
        throw;
    }
    // Journals left by an earlier file of this name would be replayed onto the new one.
    RemoveFileAndJournals(path);
    if (!QFile::rename(partial, path))
        throw BuildError(QStringLiteral("cannot rename ") + partial + QStringLiteral(" to ") +
                         path);
}

} // namespace dbbuilder
