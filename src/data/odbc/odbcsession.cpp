#include "data/odbc/odbcsession.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <limits>

namespace data::odbc {

namespace {

// The API's text: its character type, the C type of text values, and the calls.
#ifdef _WIN32
using Char = SQLWCHAR;
constexpr SQLSMALLINT kTextCType = SQL_C_WCHAR;
constexpr SQLSMALLINT kTextSqlType = SQL_WVARCHAR;
constexpr SQLSMALLINT kLongTextSqlType = SQL_WLONGVARCHAR;
QByteArray Encode(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()),
                      text.size() * qsizetype(sizeof(char16_t)));
}
QString Decode(const QByteArray& bytes) {
    return QString(reinterpret_cast<const QChar*>(bytes.constData()),
                   bytes.size() / qsizetype(sizeof(char16_t)));
}
#define ODBC_TEXT_CALL(name) name##W
#else
using Char = SQLCHAR;
constexpr SQLSMALLINT kTextCType = SQL_C_CHAR;
constexpr SQLSMALLINT kTextSqlType = SQL_VARCHAR;
constexpr SQLSMALLINT kLongTextSqlType = SQL_LONGVARCHAR;
QByteArray Encode(const QString& text) {
    return text.toUtf8();
}
QString Decode(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}
#define ODBC_TEXT_CALL(name) name
#endif

constexpr SQLSMALLINT kNameChars = 512;
constexpr SQLLEN kChunkBytes = 16384;

// A NUL-terminated buffer of chars characters, and what the API wrote into it.
struct TextBuffer {
    explicit TextBuffer(std::size_t chars) : data(chars + 1, 0) {}
    Char* get() { return data.data(); }
    SQLSMALLINT chars() const { return SQLSMALLINT(data.size()); }
    SQLSMALLINT bytes() const { return SQLSMALLINT(data.size() * sizeof(Char)); }
    QString Text(qsizetype length) const {
        length = std::clamp<qsizetype>(length, 0, qsizetype(data.size()) - 1);
        return Decode(QByteArray(reinterpret_cast<const char*>(data.data()),
                                 length * qsizetype(sizeof(Char))));
    }
    std::vector<Char> data;
};

// text as the API takes it, NUL-terminated.
std::vector<Char> ApiText(const QString& text) {
    const QByteArray bytes = Encode(text);
    std::vector<Char> result(std::size_t(bytes.size()) / sizeof(Char) + 1, 0);
    std::memcpy(result.data(), bytes.constData(), std::size_t(bytes.size()));
    return result;
}

QVariant IntegerValue(qint64 value) {
    if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max())
        return QVariant(qint32(value));
    return QVariant(value);
}

bool IsIntegerType(SQLSMALLINT type) {
    return type == SQL_INTEGER || type == SQL_SMALLINT || type == SQL_TINYINT || type == SQL_BIT;
}

bool IsBinaryType(SQLSMALLINT type) {
    return type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
}

bool IsFloatType(SQLSMALLINT type) {
    return type == SQL_REAL || type == SQL_FLOAT || type == SQL_DOUBLE;
}

// A text attribute of a result column; empty when the driver cannot say.
QString TextAttribute(const Handle& stmt, SQLUSMALLINT column, SQLUSMALLINT field) {
    TextBuffer buffer(kNameChars);
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = ODBC_TEXT_CALL(SQLColAttribute)(stmt.get(), column, field, buffer.get(),
                                                         buffer.bytes(), &bytes, nullptr);
    if (!SQL_SUCCEEDED(rc) || bytes <= 0)
        return QString();
    return buffer.Text(bytes / qsizetype(sizeof(Char)));
}

// Reads a long value in pieces with SQLGetData; false when it is Null.
bool ReadPieces(const Handle& stmt, SQLUSMALLINT column, SQLSMALLINT cType, qsizetype terminator,
                QByteArray& out) {
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(stmt.get(), column, cType, chunk.data(), kChunkBytes, &indicator);
        if (rc == SQL_NO_DATA)
            return true; // everything was read by the calls before
        Check(rc, stmt);
        if (indicator == SQL_NULL_DATA)
            return false;
        // A longer value fills the chunk (but for the text's closing NUL) and says so.
        const qsizetype room = kChunkBytes - terminator;
        const bool more =
            rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room);
        out.append(chunk.constData(), more ? room : qsizetype(indicator));
        if (!more)
            return true;
    }
}

} // namespace

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_)))
        throw EngineError(
            QStringLiteral("The ODBC driver manager could not allocate a handle (type %1).")
                .arg(type));
}

Handle::~Handle() {
    if (handle_ != SQL_NULL_HANDLE)
        SQLFreeHandle(type_, handle_);
}

Diagnostics ReadDiagnostics(const Handle& handle) {
    Diagnostics result;
    QStringList lines;
    for (SQLSMALLINT record = 1;; ++record) {
        Char state[6] = {};
        SQLINTEGER native = 0;
        TextBuffer message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN rc =
            ODBC_TEXT_CALL(SQLGetDiagRec)(handle.type(), handle.get(), record, state, &native,
                                          message.get(), message.chars(), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= message.chars()) {
            message = TextBuffer(std::size_t(length));
            rc = ODBC_TEXT_CALL(SQLGetDiagRec)(handle.type(), handle.get(), record, state, &native,
                                               message.get(), message.chars(), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        if (record == 1) {
            TextBuffer stateText(5);
            std::copy(state, state + 5, stateText.get());
            result.state = stateText.Text(5);
        }
        lines << message.Text(length);
    }
    result.message = lines.join(QLatin1Char('\n'));
    return result;
}

namespace {
// The kind of failure a standard SQLSTATE names; drivers report most others as HY000.
FailureKind KindOfState(const QString& state) {
    if (state == QLatin1String("42S22"))
        return FailureKind::ColumnMissing; // column not found
    if (state == QLatin1String("HYT00") || state == QLatin1String("HYT01") ||
        state == QLatin1String("40001"))
        return FailureKind::Busy; // a timeout, or a conflict with another transaction
    return FailureKind::Other;
}
} // namespace

void Check(SQLRETURN rc, const Handle& handle) {
    if (SQL_SUCCEEDED(rc))
        return;
    Diagnostics diagnostics = ReadDiagnostics(handle);
    if (diagnostics.message.isEmpty())
        diagnostics.message = QStringLiteral("The ODBC call failed (return code %1).").arg(rc);
    throw EngineError(diagnostics.message, KindOfState(diagnostics.state));
}

std::vector<DriverEntry> InstalledDrivers() {
    Handle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    Check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION,
                        reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          env);
    std::vector<DriverEntry> drivers;
    TextBuffer name(kNameChars);
    TextBuffer attributes(16000);
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc =
            ODBC_TEXT_CALL(SQLDrivers)(env.get(), direction, name.get(), name.chars(), &nameLength,
                                       attributes.get(), attributes.chars(), &attributesLength);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, env);
        direction = SQL_FETCH_NEXT;
        DriverEntry entry{name.Text(nameLength), {}};
        // "key=value" items, each ended by a NUL, the list ended by a second NUL.
        const std::size_t end = std::min<std::size_t>(
            std::size_t(std::max<SQLSMALLINT>(attributesLength, 0)), attributes.data.size() - 1);
        std::size_t start = 0;
        for (std::size_t i = 0; i <= end; ++i) {
            if (i < end && attributes.data[i] != 0)
                continue;
            if (i == start)
                break; // the empty item that ends the list
            entry.attributes << Decode(
                QByteArray(reinterpret_cast<const char*>(attributes.data.data() + start),
                           qsizetype((i - start) * sizeof(Char))));
            start = i + 1;
        }
        drivers.push_back(std::move(entry));
    }
    return drivers;
}

std::shared_ptr<Session> Session::Connect(const QString& connectionString) {
    std::shared_ptr<Session> session(new Session());
    session->env_ = std::make_unique<Handle>(SQL_HANDLE_ENV, SQLHANDLE(SQL_NULL_HANDLE));
    Check(SQLSetEnvAttr(session->env_->get(), SQL_ATTR_ODBC_VERSION,
                        reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          *session->env_);
    session->dbc_ = std::make_unique<Handle>(SQL_HANDLE_DBC, session->env_->get());
    std::vector<Char> text = ApiText(connectionString);
    Check(ODBC_TEXT_CALL(SQLDriverConnect)(session->dbc_->get(), nullptr, text.data(), SQL_NTS,
                                           nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
          *session->dbc_);
    session->connected_ = true;

    const auto info = [&](SQLUSMALLINT type) {
        TextBuffer buffer(kNameChars);
        SQLSMALLINT bytes = 0;
        if (!SQL_SUCCEEDED(ODBC_TEXT_CALL(SQLGetInfo)(session->dbc_->get(), type, buffer.get(),
                                                      buffer.bytes(), &bytes)))
            return QString();
        return buffer.Text(bytes / qsizetype(sizeof(Char)));
    };
    session->dbmsName_ = info(SQL_DBMS_NAME);
    session->quote_ = info(SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    return session;
}

Session::~Session() {
    if (connected_)
        SQLDisconnect(dbc_->get());
}

QString Session::Quoted(const QString& name) const {
    if (quote_.isEmpty())
        return name;
    QString quoted = name;
    quoted.replace(quote_, quote_ + quote_);
    return quote_ + quoted + quote_;
}

std::unique_ptr<Statement> Session::NewStatement() {
    return std::make_unique<Statement>(shared_from_this());
}

Statement::Statement(std::shared_ptr<Session> session)
    : session_(std::move(session)), stmt_(SQL_HANDLE_STMT, session_->dbc().get()) {}

void Statement::BindValue(const QVariant& value, bool longText) {
    const SQLUSMALLINT index = ++bound_;
    SQLLEN& length = lengths_.emplace_back(0);
    SQLRETURN rc;
    const SQLSMALLINT textType = longText ? kLongTextSqlType : kTextSqlType;
    if (!value.isValid() || value.isNull()) {
        QByteArray& none = bytes_.emplace_back(qsizetype(sizeof(Char)), '\0');
        length = SQL_NULL_DATA;
        rc = SQLBindParameter(stmt_.get(), index, SQL_PARAM_INPUT, kTextCType, textType, 1, 0,
                              none.data(), 0, &length);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            const qint64 number = value.toLongLong();
            if (number >= std::numeric_limits<qint32>::min() &&
                number <= std::numeric_limits<qint32>::max()) {
                // 32-bit numbers (the ids) go as INTEGER, which every driver knows.
                SQLINTEGER& slot = smallIntegers_.emplace_back(SQLINTEGER(number));
                rc = SQLBindParameter(stmt_.get(), index, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER,
                                      0, 0, &slot, 0, nullptr);
            } else {
                qint64& slot = integers_.emplace_back(number);
                rc = SQLBindParameter(stmt_.get(), index, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                                      SQL_BIGINT, 0, 0, &slot, 0, nullptr);
            }
            break;
        }
        case QMetaType::Double: {
            double& number = doubles_.emplace_back(value.toDouble());
            rc = SQLBindParameter(stmt_.get(), index, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0,
                                  0, &number, 0, nullptr);
            break;
        }
        case QMetaType::QByteArray: {
            QByteArray& data = bytes_.emplace_back(value.toByteArray());
            length = SQLLEN(data.size());
            rc = SQLBindParameter(stmt_.get(), index, SQL_PARAM_INPUT, SQL_C_BINARY,
                                  SQL_LONGVARBINARY, SQLULEN(std::max<qsizetype>(data.size(), 1)),
                                  0, data.data(), length, &length);
            break;
        }
        default: {
            QByteArray& text = bytes_.emplace_back(Encode(value.toString()));
            length = SQLLEN(text.size());
            const qsizetype chars = text.size() / qsizetype(sizeof(Char));
            text.append(QByteArray(qsizetype(sizeof(Char)), '\0'));
            rc = SQLBindParameter(stmt_.get(), index, SQL_PARAM_INPUT, kTextCType, textType,
                                  SQLULEN(std::max<qsizetype>(chars, 1)), 0, text.data(),
                                  SQLLEN(text.size()), &length);
        }
        }
    }
    Check(rc, stmt_);
}

void Statement::Execute(const QString& sql) {
    std::vector<Char> text = ApiText(sql);
    const SQLRETURN rc = ODBC_TEXT_CALL(SQLExecDirect)(stmt_.get(), text.data(), SQL_NTS);
    rowsChanged_ = 0;
    if (rc == SQL_NO_DATA)
        return; // a searched UPDATE or DELETE that matched no row
    Check(rc, stmt_);
    SQLLEN count = 0;
    if (SQL_SUCCEEDED(SQLRowCount(stmt_.get(), &count)) && count > 0)
        rowsChanged_ = count;
}

void Statement::ListTables() {
    std::vector<Char> type = ApiText(QStringLiteral("TABLE"));
    Check(ODBC_TEXT_CALL(SQLTables)(stmt_.get(), nullptr, 0, nullptr, 0, nullptr, 0, type.data(),
                                    SQL_NTS),
          stmt_);
}

std::vector<Column> Statement::Columns() const {
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(stmt_.get(), &count), stmt_);
    std::vector<Column> columns(std::size_t(std::max<SQLSMALLINT>(count, 0)));
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
        Column& column = columns[c - 1];
        TextBuffer name(kNameChars);
        SQLSMALLINT nameLength = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        Check(ODBC_TEXT_CALL(SQLDescribeCol)(stmt_.get(), c, name.get(), name.chars(), &nameLength,
                                             &column.sqlType, &size, &digits, &nullable),
              stmt_);
        column.name = name.Text(nameLength);
        column.baseTable = TextAttribute(stmt_, c, SQL_DESC_BASE_TABLE_NAME);
        if (column.baseTable.isEmpty())
            column.baseTable = TextAttribute(stmt_, c, SQL_DESC_TABLE_NAME);
        column.baseColumn = TextAttribute(stmt_, c, SQL_DESC_BASE_COLUMN_NAME);
        SQLLEN autoUnique = SQL_FALSE;
        if (SQL_SUCCEEDED(ODBC_TEXT_CALL(SQLColAttribute)(
                stmt_.get(), c, SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0, nullptr, &autoUnique)))
            column.autoUnique = autoUnique == SQL_TRUE;
    }
    return columns;
}

bool Statement::Fetch() {
    const SQLRETURN rc = SQLFetch(stmt_.get());
    if (rc == SQL_NO_DATA)
        return false;
    Check(rc, stmt_);
    return true;
}

QVariant Statement::Value(int column, SQLSMALLINT sqlType) {
    const auto number = SQLUSMALLINT(column + 1);
    SQLLEN indicator = 0;
    if (sqlType == SQL_BIGINT) {
        qint64 value = 0;
        Check(SQLGetData(stmt_.get(), number, SQL_C_SBIGINT, &value, 0, &indicator), stmt_);
        return indicator == SQL_NULL_DATA ? QVariant() : IntegerValue(value);
    }
    if (IsIntegerType(sqlType)) {
        SQLINTEGER value = 0;
        Check(SQLGetData(stmt_.get(), number, SQL_C_SLONG, &value, 0, &indicator), stmt_);
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(qint32(value));
    }
    if (IsFloatType(sqlType)) {
        double value = 0;
        Check(SQLGetData(stmt_.get(), number, SQL_C_DOUBLE, &value, 0, &indicator), stmt_);
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(value);
    }
    QByteArray bytes;
    if (IsBinaryType(sqlType))
        return ReadPieces(stmt_, number, SQL_C_BINARY, 0, bytes) ? QVariant(bytes) : QVariant();
    // Text, and whatever else the driver can give as text (dates, decimals).
    if (!ReadPieces(stmt_, number, kTextCType, qsizetype(sizeof(Char)), bytes))
        return QVariant();
    const QString text = Decode(bytes);
    return QVariant(text.isNull() ? QStringLiteral("") : text);
}

std::vector<std::vector<QVariant>> Statement::FetchAll(const std::vector<Column>& columns) {
    std::vector<std::vector<QVariant>> rows;
    while (Fetch()) {
        std::vector<QVariant> row(columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c)
            row[c] = Value(int(c), columns[c].sqlType);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace data::odbc
