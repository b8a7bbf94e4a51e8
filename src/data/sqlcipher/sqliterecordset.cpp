#include "data/sqlcipher/sqliterecordset.h"

#include "data/bufferedrecordset.h"

#include <QElapsedTimer>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace data::sqlite {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

QString QuotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void Bind(sqlite3* db, sqlite3_stmt* stmt, int index, const QVariant& value) {
    int rc;
    if (value.isNull() || !value.isValid()) {
        rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            rc = sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, index, text.constData(), int(text.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw Failure(db, rc);
}

std::vector<QString> ColumnNames(sqlite3_stmt* stmt) {
    const int count = sqlite3_column_count(stmt);
    std::vector<QString> names;
    names.reserve(count);
    for (int c = 0; c < count; ++c)
        names.push_back(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    return names;
}

// Reads its rows from the engine as it moves on. The first row is looked for at the first
// call that needs it, so that a wait handler set right after Open serves that search too;
// a result set on a snapshot reader starts its read transaction at Open all the same.
class StreamingRecordset final : public RecordsetBase {
public:
    StreamingRecordset(HandlePtr handle, const QString& statement, std::shared_ptr<ReaderPool> pool)
        : handle_(std::move(handle)), pool_(std::move(pool)) {
        try {
            if (pool_) {
                // The snapshot: the rows as they are now, whenever they are read.
                Exec("BEGIN");
                Exec("SELECT count(*) FROM sqlite_master");
            }
            stmt_.reset(PrepareOne(db(), statement));
        } catch (...) {
            if (pool_)
                sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        names_ = ColumnNames(stmt_.get());
    }
    ~StreamingRecordset() override { Close(); }

    int FieldIndex(const QString& field) const override {
        Start();
        return RecordsetBase::FieldIndex(field);
    }
    bool Eof() const override {
        RequireOpen();
        Start();
        return eof_;
    }
    QVariant ValueAt(int index) const override {
        RequireCurrent(index);
        return ColumnValue(stmt_.get(), index);
    }
    // Text straight from the engine's buffer, its surrounding spaces left out before it
    // becomes a QString: the search reads five fields of every row this way.
    QString TextAt(int index) const override {
        RequireCurrent(index);
        sqlite3_stmt* stmt = stmt_.get();
        switch (sqlite3_column_type(stmt, index)) {
        case SQLITE_NULL:
            return QString();
        case SQLITE_INTEGER:
            return QString::number(sqlite3_column_int64(stmt, index));
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
            int begin = 0;
            int end = sqlite3_column_bytes(stmt, index);
            while (begin < end && text[begin] == ' ')
                ++begin;
            while (end > begin && text[end - 1] == ' ')
                --end;
            return QString::fromUtf8(text + begin, end - begin);
        }
        default:
            return RecordsetBase::TextAt(index);
        }
    }
    void SetValue(const QString&, const QVariant&) override {
        RequireOpen();
        throw ReadOnly();
    }
    void AddNew() override {
        RequireOpen();
        throw ReadOnly();
    }
    void Update() override {
        RequireOpen();
        throw ReadOnly();
    }
    void MoveNext() override {
        RequireOpen();
        Start();
        if (eof_)
            throw NoCurrentRow();
        Step();
    }
    void SetWaitHandler(std::function<bool()> handler) override { wait_ = std::move(handler); }
    void Close() override {
        if (!open_)
            return;
        open_ = false;
        // Closed by the wait handler: the engine lets go of the statement once the step it
        // is in has come back.
        if (!stepping_)
            Release();
    }

private:
    sqlite3* db() const { return handle_->get(); }

    void Exec(const char* sql) {
        if (const int rc = sqlite3_exec(db(), sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
            throw Failure(db(), rc);
    }

    void Release() const {
        stmt_.reset();
        if (!handle_)
            return;
        if (pool_) {
            sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
            pool_->Give(std::move(handle_));
        }
        handle_.reset();
    }

    void RequireCurrent(int index) const {
        RequireField(index);
        Start();
        if (eof_)
            throw NoCurrentRow();
    }

    // The first step's failure stays the answer to every call that needs a row.
    void Start() const {
        if (failure_)
            throw *failure_;
        if (started_)
            return;
        started_ = true;
        try {
            Step();
        } catch (const EngineError& error) {
            failure_ = error;
            throw;
        }
        // Names after the first step too: a step re-prepares the statement when the table
        // changed since it was prepared.
        if (open_)
            names_ = ColumnNames(stmt_.get());
    }

    // Looks for the next row. With a wait handler, a search for it that takes longer than
    // a moment lets the handler run now and then; a handler that gives up, or closes the
    // result set, ends the rows there.
    void Step() const {
        if (wait_) {
            waitingSince_.start();
            sqlite3_progress_handler(db(), kStepsBetweenLooks, &WhileWaiting,
                                     const_cast<StreamingRecordset*>(this));
        }
        stepping_ = true;
        const int rc = sqlite3_step(stmt_.get());
        stepping_ = false;
        if (wait_)
            sqlite3_progress_handler(db(), 0, nullptr, nullptr);
        if (!open_) {
            eof_ = true;
            Release();
            return;
        }
        eof_ = rc != SQLITE_ROW;
        if (gaveUp_)
            return;
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw Failure(db(), rc);
    }

    // Called by the engine every kStepsBetweenLooks of its steps; non-zero interrupts it.
    static int WhileWaiting(void* self) {
        auto* rs = static_cast<StreamingRecordset*>(self);
        if (rs->waitingSince_.elapsed() < kWaitBeforeHandlerMs)
            return 0;
        if (!rs->wait_())
            rs->gaveUp_ = true;
        rs->waitingSince_.start();
        return rs->gaveUp_ || !rs->open_ ? 1 : 0;
    }

    static constexpr int kStepsBetweenLooks = 1000;
    static constexpr qint64 kWaitBeforeHandlerMs = 8;

    mutable HandlePtr handle_;
    std::shared_ptr<ReaderPool> pool_;
    mutable StatementPtr stmt_;
    std::function<bool()> wait_;
    mutable QElapsedTimer waitingSince_;
    mutable bool started_ = false;
    mutable std::optional<EngineError> failure_;
    mutable bool stepping_ = false;
    mutable bool gaveUp_ = false;
    mutable bool eof_ = true;
};

class SqliteBufferedRecordset final : public BufferedRecordset {
public:
    SqliteBufferedRecordset(HandlePtr handle, const QString& statement, bool updatable)
        : handle_(std::move(handle)) {
        StatementPtr stmt(PrepareOne(db(), statement));
        // Names after the first step: a step re-prepares the statement when the table
        // changed since it was prepared.
        int rc = sqlite3_step(stmt.get());
        // The failure first: reading the table's metadata below replaces its message.
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw Failure(db(), rc);
        names_ = ColumnNames(stmt.get());
        if (updatable)
            FindTableAndKey(stmt.get());
        else
            whyNotUpdatable_ = ReadOnly().message();
        for (;; rc = sqlite3_step(stmt.get())) {
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                throw Failure(db(), rc);
            std::vector<QVariant> row(names_.size());
            for (std::size_t c = 0; c < names_.size(); ++c)
                row[c] = ColumnValue(stmt.get(), int(c));
            rows_.push_back(std::move(row));
        }
    }

private:
    sqlite3* db() const { return handle_->get(); }

    // The table the columns come from and its integer key, which must be among them.
    void FindTableAndKey(sqlite3_stmt* stmt) {
        origins_.resize(names_.size());
        for (std::size_t c = 0; c < names_.size(); ++c) {
            const char* table = sqlite3_column_table_name(stmt, int(c));
            const char* origin = sqlite3_column_origin_name(stmt, int(c));
            if (!table || !origin)
                continue;
            const QString tableName = QString::fromUtf8(table);
            if (!table_.isEmpty() && table_ != tableName) {
                whyNotUpdatable_ = JoinsTables();
                return;
            }
            table_ = tableName;
            database_ = QString::fromUtf8(sqlite3_column_database_name(stmt, int(c)));
            origins_[c] = QString::fromUtf8(origin);
            const char* type = nullptr;
            int primaryKey = 0;
            if (sqlite3_table_column_metadata(db(), database_.toUtf8().constData(), table, origin,
                                              &type, nullptr, nullptr, &primaryKey,
                                              nullptr) == SQLITE_OK &&
                primaryKey && type &&
                QString::fromUtf8(type).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                key_ = int(c);
        }
        if (table_.isEmpty() || key_ < 0)
            whyNotUpdatable_ = NoKeyColumn();
    }

    QString QualifiedTable() const { return QuotedName(database_) + '.' + QuotedName(table_); }

    std::vector<QVariant> InsertPending(const std::vector<int>& changed) override {
        const QString sql =
            changed.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QualifiedTable())
                            : InsertStatement(QualifiedTable(), changed, QuotedName);
        Run(sql, changed, {});
        return ReadBack(sqlite3_last_insert_rowid(db()));
    }

    qint64 UpdatePending(const std::vector<int>& changed, const QVariant& key) override {
        return Run(UpdateStatement(QualifiedTable(), changed, QuotedName), changed, key);
    }

    void ReleaseBackend() override { handle_.reset(); }

    // Runs one write with the pending values of the bound columns (and the key last, when
    // given). A single statement: it is stored whole or not at all. Returns rows changed.
    int Run(const QString& sql, const std::vector<int>& bound, const QVariant& key) {
        StatementPtr stmt(PrepareOne(db(), sql));
        int index = 1;
        for (int c : bound)
            Bind(db(), stmt.get(), index++, pending_[c]);
        if (key.isValid())
            Bind(db(), stmt.get(), index, key);
        if (const int rc = sqlite3_step(stmt.get()); rc != SQLITE_DONE)
            throw Failure(db(), rc);
        return sqlite3_changes(db());
    }

    // The stored row after an insert, as the database holds it.
    std::vector<QVariant> ReadBack(sqlite3_int64 id) {
        std::vector<QVariant> row = pending_;
        row[key_] = IntegerValue(id);
        const std::vector<int> read = StoredColumns();
        StatementPtr stmt(
            PrepareOne(db(), SelectByKeyStatement(QualifiedTable(), read, QuotedName)));
        sqlite3_bind_int64(stmt.get(), 1, id);
        if (sqlite3_step(stmt.get()) == SQLITE_ROW) {
            for (std::size_t i = 0; i < read.size(); ++i)
                row[read[i]] = ColumnValue(stmt.get(), int(i));
        }
        return row;
    }

    HandlePtr handle_;
    QString database_;
    QString table_;
};

} // namespace

std::unique_ptr<Recordset> OpenStreaming(HandlePtr handle, const QString& statement,
                                         std::shared_ptr<ReaderPool> pool) {
    return std::make_unique<StreamingRecordset>(std::move(handle), statement, std::move(pool));
}

std::unique_ptr<Recordset> OpenBuffered(HandlePtr handle, const QString& statement,
                                        bool updatable) {
    return std::make_unique<SqliteBufferedRecordset>(std::move(handle), statement, updatable);
}

} // namespace data::sqlite
