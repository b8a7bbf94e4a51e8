// thalvane-admin and files this user may not write: a read-only destination for export and
// backup, a read-only database for import (which is refused) and for check and export
// (which read it as it lies).

#include "admintool.h"
#include "support/permissions.h"
#include "support/testdb.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <unistd.h>

using admintest::Run;
using admintest::RunAdmin;

namespace {
using testsupport::kReadOnlyFile;
using testsupport::kReadOnlyFolder;
using testsupport::kWritableFile;
using testsupport::kWritableFolder;
} // namespace

class TestAdminReadOnly : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (::geteuid() == 0)
            QSKIP("runs as root, whom file permissions do not bind: run it through "
                  "tests/support/unprivileged.sh");
    }
    void init() {
        db_ = std::make_unique<testsupport::TestDatabase>(5);
        db_->close();
        out_ = std::make_unique<QTemporaryDir>();
        QVERIFY(out_->isValid());
    }
    void cleanup() {
        QFile::setPermissions(out_->path(), kWritableFolder);
        QFile::setPermissions(db_->path(), kWritableFile);
        QFile::setPermissions(db_->dir(), kWritableFolder);
    }

    void readOnlyDestinationIsRefused_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::newRow("export") << "export"
                                << "rows.csv";
        QTest::newRow("backup") << "backup"
                                << "copy.bcd";
    }
    void readOnlyDestinationIsRefused() {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QVERIFY(QFile::setPermissions(out_->path(), kReadOnlyFolder));
        const QString target = out_->filePath(file);
        const Run run = RunAdmin({command, QStringLiteral("-d"), db_->path(), target});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("cannot write ") + target),
                 qPrintable(run.errors));
        QVERIFY(QDir(out_->path()).isEmpty());
    }

    void readOnlyDatabase() {
        const QString csv = out_->filePath(QStringLiteral("in.csv"));
        QFile in(csv);
        QVERIFY(in.open(QIODevice::WriteOnly) && in.write("船东\n只读\n") > 0);
        in.close();
        const QString before = out_->filePath(QStringLiteral("before.csv"));
        QCOMPARE(RunAdmin({QStringLiteral("export"), QStringLiteral("-d"), db_->path(), before})
                     .exitCode,
                 0);
        QVERIFY(QFile::setPermissions(db_->path(), kReadOnlyFile));
        QVERIFY(QFile::setPermissions(db_->dir(), kReadOnlyFolder));

        const Run import =
            RunAdmin({QStringLiteral("import"), QStringLiteral("-d"), db_->path(), csv});
        QCOMPARE(import.exitCode, 1);
        QVERIFY2(import.errors.contains(QStringLiteral("read-only")), qPrintable(import.errors));
        const Run check = RunAdmin({QStringLiteral("check"), db_->path()});
        QCOMPARE(check.exitCode, 0);
        QVERIFY(check.out.contains(QStringLiteral("rows: 5")));
        const QString after = out_->filePath(QStringLiteral("after.csv"));
        QCOMPARE(
            RunAdmin({QStringLiteral("export"), QStringLiteral("-d"), db_->path(), after}).exitCode,
            0);
        QFile a(before), b(after);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        QCOMPARE(QDir(db_->dir()).entryList(QDir::Files), QStringList{"shipman.bcd"});
    }

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<QTemporaryDir> out_;
};

QTEST_GUILESS_MAIN(TestAdminReadOnly)
#include "tst_adminreadonly.moc"
