// The engine cases on the embedded engine: a keyed SQLCipher shipman.bcd made by the
// demo builder.

#include "data/sqlcipher/sqlcipherbackend.h"
#include "enginesuite.h"
#include "support/testdb.h"

namespace {

class SqlCipherFixture final : public EngineFixture {
public:
    std::unique_ptr<data::Connection> connect() override { return db_.connect(); }
    qint32 insert(const QVariantMap& fields) override { return db_.insert(fields); }
    void exec(const QString& sql) override { db_.exec(sql); }
    std::optional<QVariantMap> row(qint32 id) override { return db_.row(id); }
    int count() override { return db_.count(); }

private:
    testsupport::TestDatabase db_;
};

} // namespace

int main(int argc, char** argv) {
    data::RegisterEmbeddedEngine();
    return RunEngineSuite(argc, argv, [] { return std::make_unique<SqlCipherFixture>(); });
}
