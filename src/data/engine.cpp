#include "data/engine.h"

#include "data/backend.h"
#include "data/enginechoice.h"
#include "data/valuerules.h"

namespace data {

QString DescribeFailure(const EngineError& error) {
    QString sentence;
    switch (error.kind()) {
    case FailureKind::Other:
        return error.message();
    case FailureKind::Busy:
        sentence = QStringLiteral("数据库正被其他程序使用，请稍后再试。");
        break;
    case FailureKind::ReadOnly:
        sentence = QStringLiteral("数据库文件只读。");
        break;
    case FailureKind::DiskFull:
        sentence = QStringLiteral("磁盘已满。");
        break;
    case FailureKind::IoError:
        sentence = QStringLiteral("读写磁盘出错。");
        break;
    case FailureKind::Damaged:
        sentence = QStringLiteral("数据库文件已损坏。");
        break;
    case FailureKind::RowGone:
        sentence = QStringLiteral("该记录已不存在。");
        break;
    case FailureKind::ColumnMissing:
        sentence = QStringLiteral("数据表缺少字段。");
        break;
    }
    return sentence + QLatin1Char('(') + error.message() + QLatin1Char(')');
}

namespace {
EngineError ClosedError() {
    return EngineError(QStringLiteral("Operation is not allowed when the object is closed."));
}
} // namespace

QString Recordset::TextAt(int index) const {
    return FieldText(ValueAt(index));
}

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const QString& connectionString, const QString& user, const QString& password,
                      int options) {
    Q_UNUSED(options);
    if (IsOpen())
        throw EngineError(QStringLiteral("Operation is not allowed when the object is open."));
    backend_ = OpenChosenBackend(RegisteredEngines(), connectionString, user, password);
}

bool Connection::IsOpen() const {
    return backend_ != nullptr;
}

void Connection::Close() {
    backend_.reset();
}

void Connection::Execute(const QString& statement, int options) {
    Q_UNUSED(options);
    if (!backend_)
        throw ClosedError();
    backend_->Execute(statement);
}

std::unique_ptr<Recordset> Connection::OpenRecordset(const QString& statement, int cursorType,
                                                     int lockType, int options) {
    Q_UNUSED(options);
    if (!backend_)
        throw ClosedError();
    return backend_->OpenRecordset(statement, cursorType, lockType);
}

} // namespace data
