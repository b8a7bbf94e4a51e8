#include "testdb.h"

#include "data/databasefile.h"
#include "dbbuilder.h"

#include <QDir>
#include <sqlite3.h>

namespace testsupport {

namespace {
QString FolderTemplate(const QString& parent) {
    return (parent.isEmpty() ? QDir::tempPath() : parent) + QStringLiteral("/船东 测试-XXXXXX");
}
} // namespace

TestDatabase::TestDatabase(qint32 syntheticRows, const QString& parent)
    : folder_(FolderTemplate(parent)) {
    if (!folder_.isValid())
        throw dbbuilder::BuildError(QStringLiteral("cannot create a temporary folder: ") +
                                    folder_.errorString());
    db_ = std::make_unique<dbbuilder::Database>(dbbuilder::Database::Create(path()));
    if (syntheticRows > 0)
        db_->insertSynthetic(syntheticRows);
}

TestDatabase::~TestDatabase() = default;

QString TestDatabase::dir() const {
    return QDir::cleanPath(folder_.path());
}

QString TestDatabase::path() const {
    return dir() + QStringLiteral("/shipman.bcd");
}

QString TestDatabase::connectionString() const {
    return QStringLiteral("Driver={microsoft access driver (*.mdb)};dbq=") + dir() +
           QStringLiteral("\\shipman.bcd");
}

std::unique_ptr<data::Connection> TestDatabase::connect() const {
    auto connection = std::make_unique<data::Connection>();
    connection->Open(connectionString(), data::kUserId, data::kPassword, data::adOptionUnspecified);
    return connection;
}

qint32 TestDatabase::insert(const QVariantMap& fields) {
    return db_->insert(fields);
}

void TestDatabase::insertSamples() {
    db_->insertAll(dbbuilder::SampleShipowners());
}

void TestDatabase::insertSynthetic(qint32 count) {
    db_->insertSynthetic(count);
}

void TestDatabase::exec(const QString& sql) {
    db_->exec(sql);
}

void TestDatabase::close() {
    db_.reset();
}

std::optional<QVariantMap> TestDatabase::row(qint32 id) {
    return db_->row(id);
}

int TestDatabase::count() {
    return db_->count();
}

QString TestDatabase::stored(qint32 id, const QString& field) {
    const QString sql = QStringLiteral("SELECT typeof(\"%1\") || ':' || hex(\"%1\") FROM Thalvane "
                                       "WHERE id = %2")
                            .arg(field)
                            .arg(id);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_->handle(), text.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw dbbuilder::BuildError(QString::fromUtf8(sqlite3_errmsg(db_->handle())));
    QString value;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return value;
}

} // namespace testsupport
