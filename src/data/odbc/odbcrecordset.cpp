#include "data/odbc/odbcrecordset.h"

#include "data/bufferedrecordset.h"
#include "data/odbc/odbcsql.h"

#include <algorithm>

namespace data::odbc {

namespace {

bool IsLongText(SQLSMALLINT type) {
    return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR;
}

class OdbcRecordset final : public BufferedRecordset {
public:
    OdbcRecordset(std::shared_ptr<Session> session, const QString& statement, bool updatable) {
        std::unique_ptr<Statement> stmt = session->NewStatement();
        stmt->Execute(statement);
        columns_ = stmt->Columns();
        rows_ = stmt->FetchAll(columns_);
        names_.reserve(columns_.size());
        for (const odbc::Column& column : columns_)
            names_.push_back(column.name);
        if (updatable) {
            FindTableAndKey(statement);
            if (whyNotUpdatable_.isEmpty())
                session_ = std::move(session);
        } else {
            whyNotUpdatable_ = ReadOnly().message();
        }
    }

private:
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
                whyNotUpdatable_ = JoinsTables();
                return;
            }
            table_ = table;
            origins_[c] = column.baseColumn.isEmpty() ? column.name : column.baseColumn;
            if (column.autoUnique && key_ < 0)
                key_ = int(c);
        }
        if (table_.isEmpty() || key_ < 0)
            whyNotUpdatable_ = NoKeyColumn();
    }

    QString Quoted(const QString& name) const { return session_->Quoted(name); }
    Quote Quoter() const {
        return [this](const QString& name) { return Quoted(name); };
    }

    std::vector<QVariant> InsertPending(const std::vector<int>& changed) override {
        // A row with no field set stores Null in every field but the key.
        std::vector<int> bound = changed;
        if (bound.empty()) {
            for (int c : StoredColumns()) {
                if (c != key_)
                    bound.push_back(c);
            }
        }
        Run(InsertStatement(Quoted(table_), bound, Quoter()), bound, {});
        return ReadBack(NewId());
    }

    qint64 UpdatePending(const std::vector<int>& changed, const QVariant& key) override {
        return Run(UpdateStatement(Quoted(table_), changed, Quoter()), changed, key);
    }

    void ReleaseBackend() override { session_.reset(); }

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
        const std::vector<int> read = StoredColumns();
        std::unique_ptr<Statement> stmt = session_->NewStatement();
        stmt->BindValue(id);
        stmt->Execute(SelectByKeyStatement(Quoted(table_), read, Quoter()));
        const std::vector<odbc::Column> columns = stmt->Columns();
        if (stmt->Fetch()) {
            for (std::size_t i = 0; i < read.size() && i < columns.size(); ++i)
                row[read[i]] = stmt->Value(int(i), columns[i].sqlType);
        }
        return row;
    }

    std::shared_ptr<Session> session_; // only while updatable
    std::vector<odbc::Column> columns_;
    QString table_;
};

} // namespace

std::unique_ptr<Recordset> OpenRecordset(std::shared_ptr<Session> session, const QString& statement,
                                         bool updatable) {
    return std::make_unique<OdbcRecordset>(std::move(session), statement, updatable);
}

} // namespace data::odbc
