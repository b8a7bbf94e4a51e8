#include "testdb.h"

#include "data/databasefile.h"
#include "dbbuilder.h"

#include <QDir>

namespace testsupport {

namespace {
QString FolderTemplate() {
    return QDir::tempPath() + QStringLiteral("/船东 测试-XXXXXX");
}
} // namespace

TestDatabase::TestDatabase(qint32 syntheticRows) : folder_(FolderTemplate()) {
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

std::optional<QVariantMap> TestDatabase::row(qint32 id) {
    return db_->row(id);
}

int TestDatabase::count() {
    return db_->count();
}

} // namespace testsupport
