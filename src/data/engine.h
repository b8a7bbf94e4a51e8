#pragma once
// The database engine the program uses: one connection, result sets opened on it, and
// statements run directly on it. Every failure is raised as EngineError carrying the
// engine's own message and the kind of failure it was.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>

namespace data {

// The kinds of failure a user is told about in words of their own.
enum class FailureKind {
    Other,
    Busy,          // another program kept the database locked for longer than the wait
    ReadOnly,      // the database file or its folder cannot be written
    DiskFull,      // no room left on the disk
    IoError,       // the disk could not be read or written
    Damaged,       // the file is damaged or is no database
    RowGone,       // the row the operation acts on is no longer there
    ColumnMissing, // the table lacks a field the program uses
};

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString& message, FailureKind kind = FailureKind::Other)
        : std::runtime_error(message.toStdString()), message_(message), kind_(kind) {}
    const QString& message() const { return message_; }
    FailureKind kind() const { return kind_; }

private:
    QString message_;
    FailureKind kind_;
};

// What went wrong, for the user: a Chinese sentence for the kind of failure, followed by
// the engine's own text in brackets for support, e.g. "数据库文件只读。(attempt to write a
// readonly database)". A failure of no particular kind is the engine's text alone.
QString DescribeFailure(const EngineError& error);

// Cursor types of a result set.
enum CursorType : int {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3, // a snapshot taken at Open
};

// Lock types of a result set.
enum LockType : int {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
};

inline constexpr int adOptionUnspecified = -1;

// A result set: one per operation, opened by Connection::OpenRecordset.
class Recordset {
public:
    virtual ~Recordset() = default;

    // True when there is no current row.
    virtual bool Eof() const = 0;
    // Where the field stands among the result set's fields, found by name (without regard
    // to case); the same for every row. EngineError when the result set has no such field.
    virtual int FieldIndex(const QString& field) const = 0;
    // The current row's field at a position FieldIndex gave. A Null value is a null
    // QVariant (isNull()).
    virtual QVariant ValueAt(int index) const = 0;
    // That field as the program shows it: its text by FieldText (data/valuerules.h). A
    // result set may give it without going through a QVariant.
    virtual QString TextAt(int index) const;
    // The current row's field, by name.
    QVariant Value(const QString& field) const { return ValueAt(FieldIndex(field)); }
    // Sets a field of the current row (updatable result sets only).
    virtual void SetValue(const QString& field, const QVariant& value) = 0;
    // A new, empty current row (updatable result sets only).
    virtual void AddNew() = 0;
    // Stores the current row: inserts it after AddNew, otherwise changes it by its key.
    // After an insert, Value("id") is the id the database gave the row.
    virtual void Update() = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Lets the handler run now and then while the engine looks for the next row longer
    // than a few milliseconds (a search through many rows that match few), so that the
    // program can handle its events meanwhile. The handler returns false to give up: the
    // result set is then at its end. It may also close the result set. Result sets whose
    // rows are all read at Open never wait.
    virtual void SetWaitHandler(std::function<bool()> handler) { Q_UNUSED(handler); }
};

class ConnectionBackend;

// The program's connection. Open picks, among the engines the program registered
// (data/enginechoice.h), the one that serves the driver named in the connection string.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connection string "Driver={...};dbq=<path>", user, password, options (-1).
    void Open(const QString& connectionString, const QString& user, const QString& password,
              int options = adOptionUnspecified);
    bool IsOpen() const;
    void Close();

    // Runs a statement that returns no rows (the delete).
    void Execute(const QString& statement, int options = adOptionUnspecified);

    // Opens a result set on the statement.
    std::unique_ptr<Recordset> OpenRecordset(const QString& statement, int cursorType, int lockType,
                                             int options = adOptionUnspecified);

private:
    std::unique_ptr<ConnectionBackend> backend_;
};

} // namespace data
