#include "data/bufferedrecordset.h"

namespace data {

void RecordsetBase::RequireOpen() const {
    if (!open_)
        throw EngineError(QStringLiteral("Operation is not allowed when the object is closed."));
}

int RecordsetBase::FieldIndex(const QString& field) const {
    RequireOpen();
    for (std::size_t c = 0; c < names_.size(); ++c) {
        if (names_[c] == field)
            return int(c);
    }
    for (std::size_t c = 0; c < names_.size(); ++c) {
        if (names_[c].compare(field, Qt::CaseInsensitive) == 0)
            return int(c);
    }
    throw EngineError(QStringLiteral("Item cannot be found in the collection corresponding to the "
                                     "requested name: %1")
                          .arg(field),
                      FailureKind::ColumnMissing);
}

void RecordsetBase::RequireField(int index) const {
    RequireOpen();
    if (index < 0 || std::size_t(index) >= names_.size())
        throw EngineError(
            QStringLiteral("Item cannot be found in the collection corresponding to the "
                           "requested ordinal: %1")
                .arg(index),
            FailureKind::ColumnMissing);
}

EngineError RecordsetBase::NoCurrentRow() {
    return EngineError(QStringLiteral("Either BOF or EOF is True: there is no current row."),
                       FailureKind::RowGone);
}

EngineError RecordsetBase::ReadOnly() {
    return EngineError(QStringLiteral("The result set does not support updating."));
}

bool BufferedRecordset::Eof() const {
    RequireOpen();
    return pos_ >= rows_.size();
}

QVariant BufferedRecordset::ValueAt(int index) const {
    RequireField(index);
    if (Eof())
        throw NoCurrentRow();
    return mode_ == Mode::None ? rows_[pos_][index] : pending_[index];
}

void BufferedRecordset::SetValue(const QString& field, const QVariant& value) {
    RequireUpdatable();
    const int column = FieldIndex(field);
    if (Eof())
        throw NoCurrentRow();
    if (column == key_ || origins_[column].isEmpty())
        throw EngineError(QStringLiteral("Field '%1' cannot be updated.").arg(field));
    if (mode_ == Mode::None) {
        mode_ = Mode::Editing;
        pending_ = rows_[pos_];
        changed_.assign(names_.size(), false);
    }
    pending_[column] = value;
    changed_[column] = true;
}

void BufferedRecordset::AddNew() {
    RequireUpdatable();
    if (mode_ != Mode::None)
        Update();
    rows_.emplace_back(names_.size());
    pos_ = rows_.size() - 1;
    mode_ = Mode::Adding;
    pending_ = rows_[pos_];
    changed_.assign(names_.size(), false);
}

void BufferedRecordset::Update() {
    RequireUpdatable();
    if (Eof())
        throw NoCurrentRow();
    std::vector<int> changed;
    for (std::size_t c = 0; c < changed_.size(); ++c) {
        if (changed_[c])
            changed.push_back(int(c));
    }
    if (mode_ == Mode::Adding) {
        rows_[pos_] = InsertPending(changed);
    } else if (mode_ == Mode::Editing && !changed.empty()) {
        if (UpdatePending(changed, rows_[pos_][key_]) != 1)
            throw EngineError(QStringLiteral("The row to update was not found; it may have been "
                                             "deleted."),
                              FailureKind::RowGone);
        rows_[pos_] = pending_;
    }
    mode_ = Mode::None;
}

void BufferedRecordset::MoveNext() {
    RequireOpen();
    if (Eof())
        throw NoCurrentRow();
    if (mode_ != Mode::None)
        Update();
    ++pos_;
}

void BufferedRecordset::Close() {
    open_ = false;
    rows_.clear();
    pending_.clear();
    mode_ = Mode::None;
    ReleaseBackend();
}

void BufferedRecordset::RequireUpdatable() const {
    RequireOpen();
    if (!whyNotUpdatable_.isEmpty())
        throw EngineError(whyNotUpdatable_);
}

std::vector<int> BufferedRecordset::StoredColumns() const {
    std::vector<int> stored;
    for (std::size_t c = 0; c < origins_.size(); ++c) {
        if (!origins_[c].isEmpty())
            stored.push_back(int(c));
    }
    return stored;
}

QStringList BufferedRecordset::QuotedOrigins(const std::vector<int>& columns,
                                             const Quote& quote) const {
    QStringList names;
    for (int c : columns)
        names << quote(origins_[c]);
    return names;
}

QString BufferedRecordset::InsertStatement(const QString& table, const std::vector<int>& columns,
                                           const Quote& quote) const {
    const QStringList marks(qsizetype(columns.size()), QStringLiteral("?"));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, QuotedOrigins(columns, quote).join(','), marks.join(','));
}

QString BufferedRecordset::UpdateStatement(const QString& table, const std::vector<int>& columns,
                                           const Quote& quote) const {
    QStringList assignments = QuotedOrigins(columns, quote);
    for (QString& assignment : assignments)
        assignment += QStringLiteral("=?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
        .arg(table, assignments.join(','), quote(origins_[key_]));
}

QString BufferedRecordset::SelectByKeyStatement(const QString& table,
                                                const std::vector<int>& columns,
                                                const Quote& quote) const {
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
        .arg(QuotedOrigins(columns, quote).join(','), table, quote(origins_[key_]));
}

QString BufferedRecordset::JoinsTables() {
    return QStringLiteral("The result set joins tables and cannot be updated.");
}

QString BufferedRecordset::NoKeyColumn() {
    return QStringLiteral("The result set has no key column and cannot be updated.");
}

} // namespace data
