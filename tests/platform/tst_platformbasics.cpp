// The system directory and path services of the platform layer.

#include "platform/paths.h"
#include "platform/sysdir.h"

#include <QtTest>

class TestPlatformBasics : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::SetSystemDirectoryOverride(std::nullopt); }

    void systemDirectoryHasNoTrailingSeparator_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/tmp/sys"
                               << "/tmp/sys";
        QTest::newRow("slash") << "/tmp/sys/"
                               << "/tmp/sys";
        QTest::newRow("backslashes") << "C:\\Windows\\System32\\\\"
                                     << "C:\\Windows\\System32";
        QTest::newRow("root stays") << "/"
                                    << "/";
    }
    void systemDirectoryHasNoTrailingSeparator() {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        platform::SetSystemDirectoryOverride(given.toStdString());
        QCOMPARE(QString::fromStdString(platform::GetSystemDirectory()), expected);
    }

    void builtInSystemDirectoryIsAbsolute() {
        const std::string dir = platform::GetSystemDirectory();
        QVERIFY(!dir.empty());
        QCOMPARE(dir.front(), '/');
        QVERIFY(dir.back() != '/');
    }

    void backslashIsTheSeparator() {
        QCOMPARE(QString::fromStdString(platform::NativePath("/var/lib/中文 目录\\shipman.bcd")),
                 QStringLiteral("/var/lib/中文 目录/shipman.bcd"));
    }
};

QTEST_GUILESS_MAIN(TestPlatformBasics)
#include "tst_platformbasics.moc"
