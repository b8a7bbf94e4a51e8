// Finding and starting the system-information tool: the two registry lookups, the test
// for the program file in the second case, and the one failure message.

#include "about/sysinfo/sysinfo.h"
#include "fake_launcher.h"
#include "fake_registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const std::string kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
} // namespace

class TestStartSysInfo : public QObject {
    Q_OBJECT
private slots:
    // `program`: how "PATH" is stored; `folder`: how "MSINFO" is stored and what its
    // folder holds. "{dir}" in the expected start stands for the folder.
    void startsOrReportsOnce_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("started");
        QTest::addColumn<bool>("folderRead");

        QTest::newRow("program value, no existence test") << "sz:/opt/info/sysinfo"
                                                          << "with file"
                                                          << "/opt/info/sysinfo" << false;
        QTest::newRow("program absent, folder holds the file") << "absent"
                                                               << "with file"
                                                               << "{dir}\\MSINFO32.EXE" << true;
        QTest::newRow("program key refused, folder holds the file")
            << "refused"
            << "with file"
            << "{dir}\\MSINFO32.EXE" << true;
        QTest::newRow("program value too long, folder holds the file")
            << "too long"
            << "with file"
            << "{dir}\\MSINFO32.EXE" << true;
        QTest::newRow("program absent, file absent") << "absent"
                                                     << "empty"
                                                     << "" << true;
        QTest::newRow("program absent, folder of that name") << "absent"
                                                             << "with folder"
                                                             << "" << true;
        QTest::newRow("both absent") << "absent"
                                     << "absent"
                                     << "" << true;
        QTest::newRow("program not startable") << "sz:/nowhere/info"
                                               << "with file"
                                               << "" << false;
        QTest::newRow("program REG_EXPAND_SZ gives empty path") << "expand"
                                                                << "with file"
                                                                << "" << false;
        QTest::newRow("program value of zero bytes") << "zero"
                                                     << "with file"
                                                     << "" << false;
        QTest::newRow("folder value of zero bytes") << "absent"
                                                    << "zero"
                                                    << "" << true;
    }
    void startsOrReportsOnce() {
        QFETCH(QString, program);
        QFETCH(QString, folder);
        QFETCH(QString, started);
        QFETCH(bool, folderRead);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string dirPath = dir.path().toStdString();
        const std::string programFile = dirPath + "\\MSINFO32.EXE";

        FakeRegistry registry;
        if (program.startsWith("sz:"))
            registry.Set(kProgramKey, "PATH", platform::kRegSz,
                         program.mid(3).toStdString() + '\0');
        else if (program == "refused")
            registry.Refuse(kProgramKey);
        else if (program == "too long")
            registry.Set(kProgramKey, "PATH", platform::kRegSz, std::string(1100, 'x'));
        else if (program == "expand")
            registry.Set(kProgramKey, "PATH", platform::kRegExpandSz, "%windir%\\info.exe");
        else if (program == "zero")
            registry.Set(kProgramKey, "PATH", platform::kRegSz, std::string());

        if (folder == "zero")
            registry.Set(kFolderKey, "MSINFO", platform::kRegSz, std::string());
        else if (folder != "absent")
            registry.Set(kFolderKey, "MSINFO", platform::kRegSz, dirPath + '\0');
        if (folder == "with file") {
            QFile file(dir.filePath("MSINFO32.EXE"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (folder == "with folder")
            QVERIFY(QDir(dir.path()).mkdir("MSINFO32.EXE"));

        FakeLauncher launcher;
        launcher.startable = {"/opt/info/sysinfo", programFile};
        std::vector<platform::MsgBoxCall> boxes;
        sysinfo::StartSysInfo([&](const platform::MsgBoxCall& call) {
            boxes.push_back(call);
            return int(platform::vbOK);
        });

        const std::string expected =
            started.replace("{dir}", QString::fromStdString(dirPath)).toStdString();
        const bool startAsked = !launcher.starts.empty();
        const bool succeeded = !expected.empty();
        if (succeeded) {
            QCOMPARE(launcher.starts.size(), std::size_t(1));
            QCOMPARE(launcher.starts[0].path, expected);
            QCOMPARE(launcher.starts[0].showStyle, 1);
            QCOMPARE(boxes.size(), std::size_t(0));
        } else {
            for (const auto& start : launcher.starts)
                QVERIFY(!launcher.startable.count(start.path));
            QCOMPARE(boxes.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(boxes[0].text), QStringLiteral("此时系统信息不可用"));
            QCOMPARE(QString::fromStdString(boxes[0].title), QStringLiteral("Thalvane"));
            QCOMPARE(boxes[0].style, 0);
        }
        // The folder is only looked at when the first value cannot be read.
        QCOMPARE(registry.Opened(kFolderKey), folderRead);
        // When the first value was read, whatever it named was handed to the start.
        if (!folderRead && program != "zero")
            QVERIFY(startAsked);
        QCOMPARE(registry.OpenHandles(), std::size_t(0));
        QCOMPARE(registry.badCloses, 0);
    }
};

QTEST_GUILESS_MAIN(TestStartSysInfo)
#include "tst_startsysinfo.moc"
