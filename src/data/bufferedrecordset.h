#pragma once
// What the result sets of both engines share: field lookup by name, and the rows read at
// Open kept in memory, with the current row's changes held until Update stores them.

#include "data/engine.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace data {

// Field names, the open state and the checks every result set makes.
class RecordsetBase : public Recordset {
public:
    bool IsOpen() const override { return open_; }
    // Field names compare without regard to case, as in Access.
    int FieldIndex(const QString& field) const override;

protected:
    void RequireOpen() const;
    // Throws unless the result set is open and index is one of its fields.
    void RequireField(int index) const;
    static EngineError NoCurrentRow();
    static EngineError ReadOnly();

    // Read again once the first row is found, by result sets that look for it late.
    mutable std::vector<QString> names_;
    bool open_ = true;
};

// All rows read at Open. A derived class fills names_ and rows_, and for an updatable
// result set origins_ and key_; otherwise it says in whyNotUpdatable_ why it is read-only.
class BufferedRecordset : public RecordsetBase {
public:
    bool Eof() const final;
    QVariant ValueAt(int index) const final;
    void SetValue(const QString& field, const QVariant& value) final;
    void AddNew() final;
    void Update() final;
    void MoveNext() final;
    void Close() final;

protected:
    using Quote = std::function<QString(const QString&)>;

    // Inserts the pending row, with the values of the changed columns (none: the fields
    // take their defaults), and returns the row as stored, with the key it was given.
    virtual std::vector<QVariant> InsertPending(const std::vector<int>& changed) = 0;
    // Stores the pending values of the changed columns in the row with the key. Returns
    // the number of rows changed.
    virtual qint64 UpdatePending(const std::vector<int>& changed, const QVariant& key) = 0;
    // Lets go of the connection on Close.
    virtual void ReleaseBackend() = 0;

    // The columns stored in the table, in order.
    std::vector<int> StoredColumns() const;
    // Statements on the table (given quoted) over the stored names of the columns.
    QString InsertStatement(const QString& table, const std::vector<int>& columns,
                            const Quote& quote) const;
    QString UpdateStatement(const QString& table, const std::vector<int>& columns,
                            const Quote& quote) const;
    // Reads the columns of the row whose key is bound.
    QString SelectByKeyStatement(const QString& table, const std::vector<int>& columns,
                                 const Quote& quote) const;

    static QString JoinsTables();
    static QString NoKeyColumn();

    std::vector<std::vector<QVariant>> rows_;
    std::vector<QString> origins_; // the table column of each field; empty for expressions
    int key_ = -1;
    QString whyNotUpdatable_;
    std::vector<QVariant> pending_;

private:
    enum class Mode { None, Editing, Adding };

    void RequireUpdatable() const;
    QStringList QuotedOrigins(const std::vector<int>& columns, const Quote& quote) const;

    std::size_t pos_ = 0;
    Mode mode_ = Mode::None;
    std::vector<bool> changed_;
};

} // namespace data
