#include "data/sqliterecordset.h"

#include <QStringList>
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
        throw EngineError(ErrorText(db));
}

// Column names and the checks every result set makes.
class RecordsetBase : public Recordset {
public:
    bool IsOpen() const override { return open_; }

protected:
    void ReadColumnNames(sqlite3_stmt* stmt) {
        const int count = sqlite3_column_count(stmt);
        names_.reserve(count);
        for (int c = 0; c < count; ++c)
            names_.push_back(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    }
    void RequireOpen() const {
        if (!open_)
            throw EngineError(
                QStringLiteral("Operation is not allowed when the object is closed."));
    }
    // Field names compare without regard to case, as in Access.
    int Column(const QString& field) const {
        RequireOpen();
        for (std::size_t c = 0; c < names_.size(); ++c) {
            if (names_[c] == field)
                return int(c);
        }
        for (std::size_t c = 0; c < names_.size(); ++c) {
            if (names_[c].compare(field, Qt::CaseInsensitive) == 0)
                return int(c);
        }
        throw EngineError(
            QStringLiteral("Item cannot be found in the collection corresponding to the "
                           "requested name: %1")
                .arg(field));
    }
    static EngineError NoCurrentRow() {
        return EngineError(QStringLiteral("Either BOF or EOF is True: there is no current row."));
    }
    static EngineError ReadOnly() {
        return EngineError(QStringLiteral("The result set does not support updating."));
    }

    std::vector<QString> names_;
    bool open_ = true;
};

class StreamingRecordset final : public RecordsetBase {
public:
    StreamingRecordset(HandlePtr handle, const QString& statement, std::shared_ptr<ReaderPool> pool)
        : handle_(std::move(handle)), pool_(std::move(pool)),
          stmt_(PrepareOne(handle_->get(), statement)) {
        // Names after the first step: a step re-prepares the statement when the table
        // changed since it was prepared.
        Step();
        ReadColumnNames(stmt_.get());
    }
    ~StreamingRecordset() override { Close(); }

    bool Eof() const override {
        RequireOpen();
        return eof_;
    }
    QVariant Value(const QString& field) const override {
        const int column = Column(field);
        if (eof_)
            throw NoCurrentRow();
        return ColumnValue(stmt_.get(), column);
    }
    void SetValue(const QString&, const QString&) override {
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
        if (eof_)
            throw NoCurrentRow();
        Step();
    }
    void Close() override {
        if (!open_)
            return;
        open_ = false;
        stmt_.reset();
        if (pool_)
            pool_->Give(std::move(handle_));
        handle_.reset();
    }

private:
    void Step() {
        const int rc = sqlite3_step(stmt_.get());
        eof_ = rc != SQLITE_ROW;
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw EngineError(ErrorText(handle_->get()));
    }

    HandlePtr handle_;
    std::shared_ptr<ReaderPool> pool_;
    StatementPtr stmt_;
    bool eof_ = true;
};

class BufferedRecordset final : public RecordsetBase {
public:
    BufferedRecordset(HandlePtr handle, const QString& statement, bool updatable)
        : handle_(std::move(handle)) {
        StatementPtr stmt(PrepareOne(db(), statement));
        // Names after the first step: a step re-prepares the statement when the table
        // changed since it was prepared.
        int rc = sqlite3_step(stmt.get());
        ReadColumnNames(stmt.get());
        if (updatable)
            FindTableAndKey(stmt.get());
        else
            whyNotUpdatable_ = ReadOnly().message();
        for (;; rc = sqlite3_step(stmt.get())) {
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                throw EngineError(ErrorText(db()));
            std::vector<QVariant> row(names_.size());
            for (std::size_t c = 0; c < names_.size(); ++c)
                row[c] = ColumnValue(stmt.get(), int(c));
            rows_.push_back(std::move(row));
        }
    }

    bool Eof() const override {
        RequireOpen();
        return pos_ >= rows_.size();
    }
    QVariant Value(const QString& field) const override {
        const int column = Column(field);
        if (Eof())
            throw NoCurrentRow();
        return mode_ == Mode::None ? rows_[pos_][column] : pending_[column];
    }
    void SetValue(const QString& field, const QString& text) override {
        RequireUpdatable();
        const int column = Column(field);
        if (Eof())
            throw NoCurrentRow();
        if (column == key_ || origins_[column].isEmpty())
            throw EngineError(QStringLiteral("Field '%1' cannot be updated.").arg(field));
        if (mode_ == Mode::None) {
            mode_ = Mode::Editing;
            pending_ = rows_[pos_];
            changed_.assign(names_.size(), false);
        }
        pending_[column] = text;
        changed_[column] = true;
    }
    void AddNew() override {
        RequireUpdatable();
        if (mode_ != Mode::None)
            Update();
        rows_.emplace_back(names_.size());
        pos_ = rows_.size() - 1;
        mode_ = Mode::Adding;
        pending_ = rows_[pos_];
        changed_.assign(names_.size(), false);
    }
    void Update() override {
        RequireUpdatable();
        if (Eof())
            throw NoCurrentRow();
        if (mode_ == Mode::Adding)
            InsertPending();
        else if (mode_ == Mode::Editing)
            UpdatePending();
        mode_ = Mode::None;
    }
    void MoveNext() override {
        RequireOpen();
        if (Eof())
            throw NoCurrentRow();
        if (mode_ != Mode::None)
            Update();
        ++pos_;
    }
    void Close() override {
        open_ = false;
        rows_.clear();
        pending_.clear();
        mode_ = Mode::None;
        handle_.reset();
    }

private:
    enum class Mode { None, Editing, Adding };

    sqlite3* db() const { return handle_->get(); }

    void RequireUpdatable() const {
        RequireOpen();
        if (!whyNotUpdatable_.isEmpty())
            throw EngineError(whyNotUpdatable_);
    }

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
                whyNotUpdatable_ = QStringLiteral("The result set joins tables and cannot be "
                                                  "updated.");
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
            whyNotUpdatable_ = QStringLiteral("The result set has no key column and cannot be "
                                              "updated.");
    }

    QString QualifiedTable() const { return QuotedName(database_) + '.' + QuotedName(table_); }

    void InsertPending() {
        QStringList columns;
        QStringList marks;
        std::vector<int> bound;
        for (std::size_t c = 0; c < names_.size(); ++c) {
            if (changed_[c]) {
                columns << QuotedName(origins_[c]);
                marks << QStringLiteral("?");
                bound.push_back(int(c));
            }
        }
        const QString sql =
            bound.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QualifiedTable())
                          : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(QualifiedTable(), columns.join(','), marks.join(','));
        Run(sql, bound, {});
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db());
        rows_[pos_] = ReadBack(id);
    }

    void UpdatePending() {
        QStringList assignments;
        std::vector<int> bound;
        for (std::size_t c = 0; c < names_.size(); ++c) {
            if (changed_[c]) {
                assignments << QuotedName(origins_[c]) + QStringLiteral("=?");
                bound.push_back(int(c));
            }
        }
        if (bound.empty())
            return;
        const QString sql =
            QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                .arg(QualifiedTable(), assignments.join(','), QuotedName(origins_[key_]));
        if (Run(sql, bound, rows_[pos_][key_]) != 1)
            throw EngineError(QStringLiteral("The row to update was not found; it may have been "
                                             "deleted."));
        rows_[pos_] = pending_;
    }

    // Runs one write with the pending values of the bound columns (and the key last, when
    // given). A single statement: it is stored whole or not at all. Returns rows changed.
    int Run(const QString& sql, const std::vector<int>& bound, const QVariant& key) {
        StatementPtr stmt(PrepareOne(db(), sql));
        int index = 1;
        for (int c : bound)
            Bind(db(), stmt.get(), index++, pending_[c]);
        if (key.isValid())
            Bind(db(), stmt.get(), index, key);
        if (sqlite3_step(stmt.get()) != SQLITE_DONE)
            throw EngineError(ErrorText(db()));
        return sqlite3_changes(db());
    }

    // The stored row after an insert, as the database holds it.
    std::vector<QVariant> ReadBack(sqlite3_int64 id) {
        std::vector<QVariant> row = pending_;
        row[key_] = IntegerValue(id);
        QStringList columns;
        std::vector<int> read;
        for (std::size_t c = 0; c < names_.size(); ++c) {
            if (!origins_[c].isEmpty()) {
                columns << QuotedName(origins_[c]);
                read.push_back(int(c));
            }
        }
        StatementPtr stmt(PrepareOne(
            db(), QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                      .arg(columns.join(','), QualifiedTable(), QuotedName(origins_[key_]))));
        sqlite3_bind_int64(stmt.get(), 1, id);
        if (sqlite3_step(stmt.get()) == SQLITE_ROW) {
            for (std::size_t i = 0; i < read.size(); ++i)
                row[read[i]] = ColumnValue(stmt.get(), int(i));
        }
        return row;
    }

    HandlePtr handle_;
    std::vector<std::vector<QVariant>> rows_;
    std::size_t pos_ = 0;
    QString database_;
    QString table_;
    std::vector<QString> origins_;
    int key_ = -1;
    QString whyNotUpdatable_;
    Mode mode_ = Mode::None;
    std::vector<QVariant> pending_;
    std::vector<bool> changed_;
};

} // namespace

std::unique_ptr<Recordset> OpenStreaming(HandlePtr handle, const QString& statement,
                                         std::shared_ptr<ReaderPool> pool) {
    return std::make_unique<StreamingRecordset>(std::move(handle), statement, std::move(pool));
}

std::unique_ptr<Recordset> OpenBuffered(HandlePtr handle, const QString& statement,
                                        bool updatable) {
    return std::make_unique<BufferedRecordset>(std::move(handle), statement, updatable);
}

} // namespace data::sqlite
