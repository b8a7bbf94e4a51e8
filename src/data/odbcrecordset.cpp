#include "data/odbcrecordset.h"

#include "data/odbcsql.h"

#include <QStringList>
#include <algorithm>

namespace data::odbc {

namespace {

bool IsLongText(SQLSMALLINT type) {
    return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR;
}

EngineError NoCurrentRow() {
    return EngineError(QStringLiteral("Either BOF or EOF is True: there is no current row."));
}

class OdbcRecordset final : public Recordset {
public:
    OdbcRecordset(std::shared_ptr<Session> session, const QString& statement, bool updatable) {
        std::unique_ptr<Statement> stmt = session->NewStatement();
        stmt->Execute(statement);
        columns_ = stmt->Columns();
        rows_ = stmt->FetchAll(columns_);
        if (updatable) {
            FindTableAndKey(statement);
            if (whyNotUpdatable_.isEmpty())
                session_ = std::move(session);
        } else {
            whyNotUpdatable_ = QStringLiteral("The result set does not support updating.");
        }
    }

    bool IsOpen() const override { return open_; }
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
            changed_.assign(columns_.size(), false);
        }
        pending_[column] = text;
        changed_[column] = true;
    }
    void AddNew() override {
        RequireUpdatable();
        if (mode_ != Mode::None)
            Update();
        rows_.emplace_back(columns_.size());
        pos_ = rows_.size() - 1;
        mode_ = Mode::Adding;
        pending_ = rows_[pos_];
        changed_.assign(columns_.size(), false);
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
        session_.reset();
    }

private:
    enum class Mode { None, Editing, Adding };

    void RequireOpen() const {
        if (!open_)
            throw EngineError(
                QStringLiteral("Operation is not allowed when the object is closed."));
    }
    void RequireUpdatable() const {
        RequireOpen();
        if (!whyNotUpdatable_.isEmpty())
            throw EngineError(whyNotUpdatable_);
    }
    // Field names compare without regard to case, as in Access.
    int Column(const QString& field) const {
        RequireOpen();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (columns_[c].name == field)
                return int(c);
        }
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (columns_[c].name.compare(field, Qt::CaseInsensitive) == 0)
                return int(c);
        }
        throw EngineError(
            QStringLiteral("Item cannot be found in the collection corresponding to the "
                           "requested name: %1")
                .arg(field));
    }

    // The one table the columns come from, the column each field is stored in, and the
    // auto-numbered key, which must be among them. When the driver names no table for any
    // column, the columns are taken to be those of the one table the statement reads.
    void FindTableAndKey(const QString& statement) {
        const bool driverNamesTables =
            std::any_of(columns_.begin(), columns_.end(),
                        [](const odbc::Column& column) { return !column.baseTable.isEmpty(); });
        const QString statementTable = driverNamesTables ? QString() : SingleTableOf(statement);
        origins_.resize(columns_.size());
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const odbc::Column& column = columns_[c];
            const QString table = driverNamesTables ? column.baseTable : statementTable;
            if (table.isEmpty())
                continue; // an expression: read only
            if (!table_.isEmpty() && table_.compare(table, Qt::CaseInsensitive) != 0) {
                whyNotUpdatable_ = QStringLiteral("The result set joins tables and cannot be "
                                                  "updated.");
                return;
            }
            table_ = table;
            origins_[c] = column.baseColumn.isEmpty() ? column.name : column.baseColumn;
            if (column.autoUnique && key_ < 0)
                key_ = int(c);
        }
        if (table_.isEmpty() || key_ < 0)
            whyNotUpdatable_ = QStringLiteral("The result set has no key column and cannot be "
                                              "updated.");
    }

    void InsertPending() {
        QStringList columns;
        QStringList marks;
        std::vector<int> bound;
        // A row with no field set stores Null in every field but the key.
        const bool none = std::find(changed_.begin(), changed_.end(), true) == changed_.end();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (changed_[c] || (none && int(c) != key_ && !origins_[c].isEmpty())) {
                columns << session_->Quoted(origins_[c]);
                marks << QStringLiteral("?");
                bound.push_back(int(c));
            }
        }
        Run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(session_->Quoted(table_), columns.join(','), marks.join(',')),
            bound, {});
        rows_[pos_] = ReadBack(NewId());
    }

    void UpdatePending() {
        QStringList assignments;
        std::vector<int> bound;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (changed_[c]) {
                assignments << session_->Quoted(origins_[c]) + QStringLiteral("=?");
                bound.push_back(int(c));
            }
        }
        if (bound.empty())
            return;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                .arg(session_->Quoted(table_), assignments.join(','),
                                     session_->Quoted(origins_[key_]));
        if (Run(sql, bound, rows_[pos_][key_]) != 1)
            throw EngineError(QStringLiteral("The row to update was not found; it may have been "
                                             "deleted."));
        rows_[pos_] = pending_;
    }

    // Runs one write with the pending values of the bound columns (and the key last, when
    // given). Returns the number of rows it changed.
    qint64 Run(const QString& sql, const std::vector<int>& bound, const QVariant& key) {
        std::unique_ptr<Statement> stmt = session_->NewStatement();
        for (int c : bound)
            stmt->BindValue(pending_[c], IsLongText(columns_[c].sqlType));
        if (key.isValid())
            stmt->BindValue(key);
        stmt->Execute(sql);
        return stmt->RowsChanged();
    }

    // The key the database gave the row just inserted on this connection.
    QVariant NewId() {
        const QString query =
            session_->dbmsName().compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0
                ? QStringLiteral("SELECT last_insert_rowid()")
                : QStringLiteral("SELECT @@IDENTITY");
        std::unique_ptr<Statement> stmt = session_->NewStatement();
        stmt->Execute(query);
        const std::vector<odbc::Column> columns = stmt->Columns();
        if (columns.empty() || !stmt->Fetch())
            throw EngineError(QStringLiteral("The database did not say which id it gave the "
                                             "new row."));
        const QVariant id = stmt->Value(0, columns[0].sqlType);
        if (id.isNull())
            throw EngineError(QStringLiteral("The database did not say which id it gave the "
                                             "new row."));
        return id;
    }

    // The stored row after an insert, as the database holds it.
    std::vector<QVariant> ReadBack(const QVariant& id) {
        std::vector<QVariant> row = pending_;
        row[key_] = id;
        QStringList names;
        std::vector<int> read;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (!origins_[c].isEmpty()) {
                names << session_->Quoted(origins_[c]);
                read.push_back(int(c));
            }
        }
        std::unique_ptr<Statement> stmt = session_->NewStatement();
        stmt->BindValue(id);
        stmt->Execute(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                .arg(names.join(','), session_->Quoted(table_), session_->Quoted(origins_[key_])));
        const std::vector<odbc::Column> columns = stmt->Columns();
        if (stmt->Fetch()) {
            for (std::size_t i = 0; i < read.size() && i < columns.size(); ++i)
                row[read[i]] = stmt->Value(int(i), columns[i].sqlType);
        }
        return row;
    }

    std::shared_ptr<Session> session_; // only while updatable
    std::vector<odbc::Column> columns_;
    std::vector<std::vector<QVariant>> rows_;
    std::size_t pos_ = 0;
    bool open_ = true;
    QString table_;
    std::vector<QString> origins_;
    int key_ = -1;
    QString whyNotUpdatable_;
    Mode mode_ = Mode::None;
    std::vector<QVariant> pending_;
    std::vector<bool> changed_;
};

} // namespace

std::unique_ptr<Recordset> OpenRecordset(std::shared_ptr<Session> session, const QString& statement,
                                         bool updatable) {
    return std::make_unique<OdbcRecordset>(std::move(session), statement, updatable);
}

} // namespace data::odbc
