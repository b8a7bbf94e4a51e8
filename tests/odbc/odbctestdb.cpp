#include "odbctestdb.h"

#include "data/databasefile.h"
#include "data/statements.h"

#include <QDir>
#include <QStringList>

namespace odbctest {

namespace {

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QVariant FirstValue(data::odbc::Statement& stmt) {
    const std::vector<data::odbc::Column> columns = stmt.Columns();
    if (!stmt.Fetch())
        return QVariant();
    return stmt.Value(0, columns.at(0).sqlType);
}

} // namespace

OdbcTestDatabase::OdbcTestDatabase()
    : folder_(QDir::tempPath() + QStringLiteral("/船东 测试-XXXXXX")) {
    if (!folder_.isValid())
        throw data::EngineError(QStringLiteral("cannot create a temporary folder: ") +
                                folder_.errorString());
    // Without NoCreat the driver makes the file.
    session_ = data::odbc::Session::Connect(
        QStringLiteral("Driver={%1};Database=%2").arg(kDriver, path()));
    exec(data::CreateTableStatement());
}

QString OdbcTestDatabase::dir() const {
    return QDir::cleanPath(folder_.path());
}

QString OdbcTestDatabase::path() const {
    return dir() + QStringLiteral("/shipman.bcd");
}

QString OdbcTestDatabase::connectionString() const {
    return QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=") + dir() +
           QStringLiteral("\\shipman.bcd");
}

std::unique_ptr<data::Connection> OdbcTestDatabase::connect() {
    auto connection = std::make_unique<data::Connection>();
    connection->Open(connectionString(), data::kUserId, data::kPassword, data::adOptionUnspecified);
    return connection;
}

qint32 OdbcTestDatabase::insert(const QVariantMap& fields) {
    auto stmt = session_->NewStatement();
    QStringList columns;
    QStringList marks;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        columns << Quoted(it.key());
        marks << QStringLiteral("?");
        stmt->BindValue(it.value());
    }
    stmt->Execute(fields.isEmpty() ? QStringLiteral("INSERT INTO Thalvane DEFAULT VALUES")
                                   : QStringLiteral("INSERT INTO Thalvane (%1) VALUES (%2)")
                                         .arg(columns.join(','), marks.join(',')));
    if (fields.contains(data::kFieldId))
        return fields.value(data::kFieldId).toInt();
    auto id = session_->NewStatement();
    id->Execute(QStringLiteral("SELECT last_insert_rowid()"));
    return FirstValue(*id).toInt();
}

void OdbcTestDatabase::exec(const QString& sql) {
    session_->NewStatement()->Execute(sql);
}

std::optional<QVariantMap> OdbcTestDatabase::row(qint32 id) {
    auto stmt = session_->NewStatement();
    stmt->BindValue(id);
    stmt->Execute(QStringLiteral("SELECT * FROM Thalvane WHERE id=?"));
    const std::vector<data::odbc::Column> columns = stmt->Columns();
    if (!stmt->Fetch())
        return std::nullopt;
    QVariantMap fields;
    for (std::size_t c = 0; c < columns.size(); ++c)
        fields.insert(columns[c].name, stmt->Value(int(c), columns[c].sqlType));
    return fields;
}

int OdbcTestDatabase::count() {
    auto stmt = session_->NewStatement();
    stmt->Execute(QStringLiteral("SELECT count(*) FROM Thalvane"));
    return FirstValue(*stmt).toInt();
}

QStringList Listing(const QString& dir) {
    QStringList entries;
    for (const QFileInfo& info : QDir(dir).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        entries << info.fileName() + QLatin1Char(':') + QString::number(info.size());
    return entries;
}

} // namespace odbctest
