// The services behind the system-information button off Windows: the read-only registry
// stand-in, the plain-file lookup and the detached program start.

#include "platform/filelookup.h"
#include "platform/launcher.h"
#include "platform/registry_standin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const std::string kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

bool writeFile(const QString& path, const QByteArray& content, bool executable) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false;
    file.close();
    if (executable)
        return file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

// Reads "PATH" through the stand-in as a caller does: open, query, close.
long readProgramValue(platform::Registry& registry, std::uint32_t& type, std::string& text) {
    platform::RegKey key = 0;
    long rc =
        registry.OpenKey(platform::kHKeyLocalMachine, kProgramKey, 0, platform::kKeyRead, key);
    if (rc != platform::kErrorSuccess)
        return rc;
    unsigned char buffer[1024] = {};
    std::uint32_t size = sizeof buffer;
    rc = registry.QueryValue(key, "PATH", type, buffer, size);
    if (rc == platform::kErrorSuccess)
        text.assign(reinterpret_cast<const char*>(buffer), size);
    if (registry.CloseKey(key) != platform::kErrorSuccess)
        return -1;
    return rc;
}
} // namespace

class TestSysInfoServices : public QObject {
    Q_OBJECT
private slots:
    void standInNamesFirstInstalledProgram() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeFile(dir.filePath("plain"), "data", false));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QVERIFY(writeFile(dir.filePath("tool"), "#!/bin/sh\n", true));
        QVERIFY(writeFile(dir.filePath("later"), "#!/bin/sh\n", true));
        const std::string tool = dir.filePath("tool").toStdString();
        platform::StandInRegistry registry(
            {dir.filePath("missing").toStdString(), dir.filePath("plain").toStdString(),
             dir.filePath("folder").toStdString(), tool, dir.filePath("later").toStdString()});
        std::uint32_t type = 0;
        std::string text;
        QCOMPARE(readProgramValue(registry, type, text), platform::kErrorSuccess);
        QCOMPARE(type, platform::kRegSz);
        QCOMPARE(text, tool + '\0'); // stored with its terminating NUL, as Windows does
    }

    void standInHasNoValueWithoutProgram() {
        QTemporaryDir dir;
        platform::StandInRegistry registry({dir.filePath("hardinfo").toStdString()});
        std::uint32_t type = 0;
        std::string text;
        QCOMPARE(readProgramValue(registry, type, text), platform::kErrorFileNotFound);
    }

    void standInIsReadOnlyAndHoldsOneKey_data() {
        QTest::addColumn<uint>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<uint>("access");
        QTest::addColumn<long>("result");
        const uint hklm = platform::kHKeyLocalMachine;
        QTest::newRow("read") << hklm << QString::fromStdString(kProgramKey) << 0x20019u << 0L;
        QTest::newRow("any case") << hklm << "software\\microsoft\\shared tools\\msinfo" << 0x20019u
                                  << 0L;
        QTest::newRow("write refused")
            << hklm << QString::fromStdString(kProgramKey) << 0x2003Fu << 5L;
        QTest::newRow("folder key absent")
            << hklm << "SOFTWARE\\Microsoft\\Shared Tools Location" << 0x20019u << 2L;
        QTest::newRow("other root")
            << 0x80000001u << QString::fromStdString(kProgramKey) << 0x20019u << 2L;
    }
    void standInIsReadOnlyAndHoldsOneKey() {
        QFETCH(uint, root);
        QFETCH(QString, key);
        QFETCH(uint, access);
        QFETCH(long, result);
        platform::StandInRegistry registry({"/bin/sh"});
        platform::RegKey handle = 0;
        QCOMPARE(registry.OpenKey(root, key.toStdString(), 0, access, handle), result);
        if (result == 0)
            QCOMPARE(registry.CloseKey(handle), platform::kErrorSuccess);
    }

    void standInReportsSizeOfLongerValue() {
        platform::StandInRegistry registry({"/bin/sh"});
        platform::RegKey key = 0;
        QCOMPARE(
            registry.OpenKey(platform::kHKeyLocalMachine, kProgramKey, 0, platform::kKeyRead, key),
            platform::kErrorSuccess);
        unsigned char buffer[4] = {};
        std::uint32_t size = sizeof buffer;
        std::uint32_t type = 0;
        QCOMPARE(registry.QueryValue(key, "PATH", type, buffer, size), platform::kErrorMoreData);
        QCOMPARE(size, std::uint32_t(sizeof "/bin/sh"));
        QCOMPARE(registry.CloseKey(key), platform::kErrorSuccess);
    }

    void plainFileLookup_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        QTest::newRow("regular file") << "MSINFO32.EXE"
                                      << "MSINFO32.EXE";
        QTest::newRow("link to a file") << "link"
                                        << "link";
        QTest::newRow("folder") << "folder"
                                << "";
        QTest::newRow("hidden file") << ".hidden"
                                     << "";
        QTest::newRow("missing") << "missing"
                                 << "";
        QTest::newRow("dangling link") << "dangling"
                                       << "";
        QTest::newRow("other case") << "msinfo32.exe"
                                    << "";
    }
    void plainFileLookup() {
        QFETCH(QString, name);
        QFETCH(QString, found);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("MSINFO32.EXE"), "x", false));
        QVERIFY(writeFile(dir.filePath(".hidden"), "x", false));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QVERIFY(QFile::link(dir.filePath("MSINFO32.EXE"), dir.filePath("link")));
        QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("dangling")));
        // Joined with a backslash, as the callers do.
        const std::string path = dir.path().toStdString() + "\\" + name.toStdString();
        QCOMPARE(QString::fromStdString(platform::FindPlainFile(path)), found);
    }

    void startsDetachedProgram() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // The started script records its process status line, then ends.
        const QString script = dir.filePath("tool.sh");
        const QString marker = script + ".started";
        QVERIFY(writeFile(
            script, "#!/bin/sh\ncat /proc/$$/stat > \"$0.tmp\" && mv \"$0.tmp\" \"$0.started\"\n",
            true));
        QVERIFY(platform::StartProgram(dir.path().toStdString() + "\\tool.sh",
                                       platform::kShowNormalFocus));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // Fields after the command name: state, parent, process group, session.
        const QList<QByteArray> fields = file.readAll().split(')').last().simplified().split(' ');
        QVERIFY(fields.size() > 3);
        QVERIFY(fields[1].toLong() != long(::getpid()));
        QVERIFY(fields[3].toLong() != long(::getsid(0)));
        // Nothing is left for us to reap.
        errno = 0;
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
        QCOMPARE(errno, ECHILD);
    }

    void failedStartIsReported_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("not executable") << "plain";
        QTest::newRow("empty path") << "";
    }
    void failedStartIsReported() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QVERIFY(writeFile(dir.filePath("plain"), "#!/bin/sh\n", false));
        const std::string path = name.isEmpty() ? std::string() : dir.filePath(name).toStdString();
        QVERIFY(!platform::StartProgram(path, platform::kShowNormalFocus));
        errno = 0;
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
        QCOMPARE(errno, ECHILD);
    }
};

QTEST_GUILESS_MAIN(TestSysInfoServices)
#include "tst_sysinfoservices.moc"
