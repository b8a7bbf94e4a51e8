// Reading one registry value as text, through a registry held in memory.

#include "about/sysinfo/sysinfo.h"
#include "fake_registry.h"

#include <QtTest>

namespace {
const std::string kKey = "SOFTWARE\\Thalvane\\Test";
const std::string kName = "Value";

std::string bytes(const QByteArray& array) {
    return std::string(array.constData(), array.size());
}
} // namespace

class TestGetKeyValue : public QObject {
    Q_OBJECT
private slots:
    void readsValueAsText_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("incoming");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("text");

        const QByteArray path("C:\\Program Files\\Info\\info.exe");
        QTest::newRow("REG_SZ with NUL")
            << uint(platform::kRegSz) << path + '\0' << QByteArray() << true << path;
        QTest::newRow("REG_SZ without NUL")
            << uint(platform::kRegSz) << path << QByteArray() << true << path;
        QTest::newRow("REG_SZ replaces incoming")
            << uint(platform::kRegSz) << path + '\0' << QByteArray("old") << true << path;
        QTest::newRow("REG_SZ only one NUL cut")
            << uint(platform::kRegSz) << QByteArray("abc\0\0", 5) << QByteArray() << true
            << QByteArray("abc\0", 4);
        QTest::newRow("REG_SZ single NUL is empty text")
            << uint(platform::kRegSz) << QByteArray(1, '\0') << QByteArray("old") << true
            << QByteArray();
        QTest::newRow("1024 bytes fit") << uint(platform::kRegSz) << QByteArray(1023, 'x') + '\0'
                                        << QByteArray() << true << QByteArray(1023, 'x');
        QTest::newRow("1025 bytes do not") << uint(platform::kRegSz) << QByteArray(1024, 'x') + '\0'
                                           << QByteArray("old") << false << QByteArray();
        QTest::newRow("REG_DWORD") << uint(platform::kRegDword) << QByteArray("\x78\x56\x34\x12", 4)
                                   << QByteArray() << true << QByteArray("&h12345678");
        QTest::newRow("REG_DWORD two digits a byte")
            << uint(platform::kRegDword) << QByteArray("\x04\x03\x02\x01", 4) << QByteArray()
            << true << QByteArray("&h01020304");
        QTest::newRow("REG_DWORD zero top byte dropped")
            << uint(platform::kRegDword) << QByteArray("\xEF\xCD\xAB\x00", 4) << QByteArray()
            << true << QByteArray("&hABCDEF");
        QTest::newRow("REG_DWORD digits follow incoming")
            << uint(platform::kRegDword) << QByteArray("\x2A\x00\x00\x00", 4) << QByteArray("7")
            << true << QByteArray("&h700002A");
        QTest::newRow("REG_EXPAND_SZ keeps incoming")
            << uint(platform::kRegExpandSz) << QByteArray("%SystemRoot%\\x.exe\0", 19)
            << QByteArray("before") << true << QByteArray("before");
        QTest::newRow("REG_BINARY keeps incoming")
            << uint(platform::kRegBinary) << QByteArray("\x01\x02", 2) << QByteArray("keep") << true
            << QByteArray("keep");
    }
    void readsValueAsText() {
        QFETCH(uint, type);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, incoming);
        QFETCH(bool, result);
        QFETCH(QByteArray, text);

        FakeRegistry registry;
        registry.Set(kKey, kName, type, bytes(stored));
        std::string value = bytes(incoming);
        QCOMPARE(sysinfo::GetKeyValue(platform::kHKeyLocalMachine, kKey, kName, value), result);
        QCOMPARE(QByteArray::fromStdString(value), text);

        QCOMPARE(registry.opens.size(), std::size_t(1));
        QCOMPARE(registry.opens[0].options, 0u);
        // Read access only: write access under HKEY_LOCAL_MACHINE is refused to ordinary users.
        QCOMPARE(registry.opens[0].access, 0x20019u);
        QCOMPARE(registry.lastCapacity, 1024u);
        QCOMPARE(registry.OpenHandles(), std::size_t(0));
        QCOMPARE(registry.badCloses, 0);
    }

    void unreadableGivesFalseAndEmptyText_data() {
        QTest::addColumn<QString>("setup");
        QTest::newRow("missing value") << "key only";
        QTest::newRow("missing key") << "nothing";
        QTest::newRow("key refuses access") << "refused";
    }
    void unreadableGivesFalseAndEmptyText() {
        QFETCH(QString, setup);
        FakeRegistry registry;
        if (setup == "key only")
            registry.AddKey(kKey);
        if (setup == "refused")
            registry.Refuse(kKey);
        std::string value = "old";
        QVERIFY(!sysinfo::GetKeyValue(platform::kHKeyLocalMachine, kKey, kName, value));
        QVERIFY(value.empty());
        QCOMPARE(registry.OpenHandles(), std::size_t(0));
        QCOMPARE(registry.badCloses, 0);
    }

    void zeroByteValueRaisesAndClosesTheKey() {
        FakeRegistry registry;
        registry.Set(kKey, kName, platform::kRegSz, std::string());
        std::string value = "old";
        QVERIFY_THROWS_EXCEPTION(
            sysinfo::EmptyValueError,
            sysinfo::GetKeyValue(platform::kHKeyLocalMachine, kKey, kName, value));
        QCOMPARE(registry.opens.size(), std::size_t(1));
        QCOMPARE(registry.OpenHandles(), std::size_t(0));
        QCOMPARE(registry.badCloses, 0);
    }
};

QTEST_GUILESS_MAIN(TestGetKeyValue)
#include "tst_getkeyvalue.moc"
