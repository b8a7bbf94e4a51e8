// thalvane-admin run as a program: a CSV file through import, the search and export;
// bad CSV files; a backup while another connection saves; the messages and exit codes of
// bad input; a full disk. The CSV reader itself is also tried in-process.

#include "admintool.h"
#include "csv.h"
#include "data/databasefile.h"
#include "data/engine.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "dbbuilder.h"
#include "platform/textcodec.h"
#include "support/smalldisk.h"
#include "support/testdb.h"

#include <QDir>
#include <QStringEncoder>
#include <QtTest>
#include <atomic>
#include <thread>

using admintest::CsvText;
using admintest::Run;
using admintest::RunAdmin;
using testsupport::TestDatabase;

namespace {

QStringList Header() {
    return QStringList{data::kFieldId} + data::TextFields();
}

// Row i of the round-trip file: Chinese, Greek, quotes, commas, line breaks (CRLF and LF)
// inside fields, empty fields, spaces at the ends and a character outside the BMP.
QStringList RoundTripRow(int i) {
    const QString n = QString::number(i);
    static const QString names[] = {
        QStringLiteral("Αιγαίον Ναυτιλιακή "), QStringLiteral("海澜远洋运输有限公司"),
        QStringLiteral("\"Blue Star\" Lines, "), QStringLiteral("O'Neil & Söhne "),
        QStringLiteral("  中远,海运  ")};
    static const QString countries[] = {QStringLiteral("希腊"), QStringLiteral("中国"),
                                        QStringLiteral("Ελλάδα")};
    return {n,
            names[i % 5] + n,
            countries[i % 3],
            QStringLiteral("上海市虹口区东大名路%1号\r\n18楼").arg(n),
            QStringLiteral("+86-21-6595 ") + n,
            i % 4 == 0 ? QString() : QStringLiteral("+30 210 ") + n,
            QStringLiteral("www.example%1.example").arg(n),
            QStringLiteral("info%1@example.com").arg(n),
            QStringLiteral("成立于1993年。\n主营散货, \"远洋\"运输。\r\n第三行 🚢 ") + n,
            i % 2 ? QStringLiteral("子公司甲,子公司乙") : QStringLiteral("Θυγατρική \"Α\"\r\n")};
}

QByteArray Utf8File(const QList<QStringList>& records) {
    return csv::kUtf8Bom + CsvText(records).toUtf8();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything the database holds, as the tool exports it.
QByteArray Contents(const QString& database, const QString& scratch) {
    const QString file = scratch + QStringLiteral("/contents.csv");
    if (RunAdmin({QStringLiteral("export"), QStringLiteral("-d"), database, file}).exitCode != 0)
        return QByteArrayLiteral("(export failed)");
    const QByteArray bytes = ReadFile(file);
    QFile::remove(file);
    return bytes;
}

// The ids the search lists for the two filters, in its order.
// Whether the tool can read GB18030 here: the system's converter, or Qt's (with ICU).
bool CanReadGb18030() {
    std::u16string text;
    return platform::DecodeGb18030("a", text) != platform::DecodeResult::Unavailable ||
           QStringDecoder("GB18030").isValid();
}

QList<qint32> SearchIds(data::Connection& conn, const QString& name, const QString& country) {
    QList<qint32> ids;
    auto rs = conn.OpenRecordset(data::SearchStatement(name, country), data::adOpenStatic,
                                 data::adLockReadOnly);
    for (; !rs->Eof(); rs->MoveNext())
        ids << rs->Value(data::kFieldId).toInt();
    return ids;
}

} // namespace

class TestAdmin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { data::RegisterEmbeddedEngine(); }
    void init() {
        folder_ =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/管理 工具-XXXXXX"));
        QVERIFY2(folder_->isValid(), qPrintable(folder_->errorString()));
    }

    void roundTripThroughTheSearch() {
        const QString db = folder_->filePath(QStringLiteral("shipman.bcd"));
        QList<QStringList> records{Header()};
        for (int i = 1; i <= 1000; ++i)
            records << RoundTripRow(i);
        const QByteArray original = Utf8File(records);
        const QString in = folder_->filePath(QStringLiteral("船东.csv"));
        QVERIFY(WriteFile(in, original));

        QCOMPARE(RunAdmin({QStringLiteral("init"), db}).exitCode, 0);
        const Run imported = RunAdmin({QStringLiteral("import"), QStringLiteral("-d"), db, in});
        QCOMPARE(imported.exitCode, 0);
        QVERIFY2(imported.out.contains(QStringLiteral("1000 rows")), qPrintable(imported.out));

        // The program's engine and search statement see the rows exactly as written.
        {
            data::Connection conn;
            conn.Open(data::kConnectionHead + QDir::toNativeSeparators(folder_->path()) +
                          data::kDatabaseFile,
                      data::kUserId, data::kPassword);
            QCOMPARE(SearchIds(conn, {}, {}).size(), 1000);
            QList<qint32> greekInGreece;
            for (int i = 1000; i >= 1; --i)
                if (i % 15 == 0)
                    greekInGreece << i;
            QCOMPARE(SearchIds(conn, QStringLiteral("ΑΙΓΑΊΟΝ"), QStringLiteral("希腊")),
                     greekInGreece);
            auto rs = conn.OpenRecordset(data::ReadOneRowStatement(998), data::adOpenForwardOnly,
                                         data::adLockReadOnly);
            const QStringList expected = RoundTripRow(998);
            for (int f = 0; f < data::TextFields().size(); ++f)
                QCOMPARE(rs->Value(data::TextFields().at(f)).toString(), expected.at(f + 1));
        }

        const QString out = folder_->filePath(QStringLiteral("导出.csv"));
        QCOMPARE(RunAdmin({QStringLiteral("export"), QStringLiteral("-d"), db, out}).exitCode, 0);
        QCOMPARE(ReadFile(out), original);

        // The filters pick the rows the search finds, in id order.
        QList<QStringList> filtered{Header()};
        for (int i = 15; i <= 1000; i += 15)
            filtered << RoundTripRow(i);
        const Run picked = RunAdmin({QStringLiteral("export"), QStringLiteral("-d"), db,
                                     QStringLiteral("--name"), QStringLiteral(" ΑΙΓΑΊΟΝ "),
                                     QStringLiteral("--country"), QStringLiteral("希腊"), out});
        QCOMPARE(picked.exitCode, 0);
        QCOMPARE(ReadFile(out), Utf8File(filtered));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files).size(), 3); // nothing left over

        // The same file as Chinese Excel writes it, GB18030 without a byte-order mark.
        QStringEncoder gb18030("GB18030");
        if (!gb18030.isValid())
            QSKIP("the UTF-8 round trip passed; this Qt has no GB18030 encoder to write the "
                  "GB18030 file with");
        const QByteArray chinese = gb18030.encode(CsvText(records));
        QVERIFY(!gb18030.hasError());
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString asUtf8 = utf8.decode(chinese);
        QVERIFY(utf8.hasError()); // so the tool has to tell the encodings apart
        const QString gbFile = folder_->filePath(QStringLiteral("gb.csv"));
        QVERIFY(WriteFile(gbFile, chinese));
        const QString db2 = folder_->filePath(QStringLiteral("second.bcd"));
        QCOMPARE(RunAdmin({QStringLiteral("init"), db2}).exitCode, 0);
        const Run detected =
            RunAdmin({QStringLiteral("import"), QStringLiteral("-d"), db2, gbFile});
        QCOMPARE(detected.exitCode, 0);
        QVERIFY2(detected.out.contains(QStringLiteral("GB18030")), qPrintable(detected.out));
        QCOMPARE(Contents(db2, folder_->path()), original);
    }

    void importOptions() {
        TestDatabase db;
        db.insert({{data::kFieldName, QStringLiteral("甲")}}); // id 1
        const QString in = folder_->filePath(QStringLiteral("in.csv"));
        // English names in any case; a column the file lacks is stored as empty text.
        QVERIFY(WriteFile(in, "ID,Name,COUNTRY\n500,乙,中国\n501,丙,\"\"\n"));

        const QByteArray before = Contents(db.path(), folder_->path());
        const Run dry = RunAdmin({QStringLiteral("import"), QStringLiteral("--dry-run"),
                                  QStringLiteral("-d"), db.path(), in});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY2(dry.out.contains(QStringLiteral("checked 2 rows")), qPrintable(dry.out));
        QCOMPARE(Contents(db.path(), folder_->path()), before);

        QCOMPARE(RunAdmin({QStringLiteral("import"), QStringLiteral("-d"), db.path(), in}).exitCode,
                 0);
        QCOMPARE(RunAdmin({QStringLiteral("import"), QStringLiteral("--keep-ids"),
                           QStringLiteral("-d"), db.path(), in})
                     .exitCode,
                 0);
        // Without --keep-ids the database gives the ids; with it, the file does.
        QCOMPARE(db.count(), 5);
        for (const qint32 id : {1, 2, 3, 500, 501})
            QVERIFY2(db.row(id).has_value(), qPrintable(QString::number(id)));
        QCOMPARE(db.row(2)->value(data::kFieldName).toString(), QStringLiteral("乙"));
        QCOMPARE(db.row(501)->value(data::kFieldName).toString(), QStringLiteral("丙"));
        QCOMPARE(db.stored(3, data::kFieldCountry), QStringLiteral("text:"));
        QCOMPARE(db.stored(501, data::kFieldAddress), QStringLiteral("text:"));
    }

    void badFilesAreRefusedWithTheirLine_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        const QStringList none;
        QTest::newRow("too few fields") << QByteArray("船东,国家\r\nA,B\r\nC\r\nD,E\r\n") << none
                                        << "line 3: 1 fields, but the first line names 2 columns";
        QTest::newRow("too many fields")
            << QByteArray("船东,国家\nA,B,C\n") << none << "line 2: 3 fields";
        QTest::newRow("unknown column")
            << QByteArray("船东,船名\nA,B\n") << none << "line 1: unknown column \"船名\"";
        QTest::newRow("column named twice")
            << QByteArray("name,船东\nA,B\n") << none << "line 1: column 船东 is named twice";
        QTest::newRow("empty file") << QByteArray() << none << "line 1: the file is empty";
        QTest::newRow("not UTF-8 as asked")
            << QByteArray("船东\nA\nB\n\xB4\xAC\xB6\xAB\n") << QStringList{"--encoding", "utf-8"}
            << "line 4: bytes that are not valid UTF-8";
        QTest::newRow("neither UTF-8 nor GB18030")
            << QByteArray("船东\nA\nB\xFF\n") << none << "line 3: bytes that are not valid GB18030";
        QTest::newRow("line breaks inside quotes count")
            << QByteArray("船东,国家\r\n\"A\r\nB\nC\",D\r\nE\r\n") << none << "line 5: 1 fields";
        QTest::newRow("quote never closed") << QByteArray("船东,国家\nA,B\nC,\"D\nE,F\n") << none
                                            << "line 3: a quoted field is not closed";
        QTest::newRow("text after a closing quote") << QByteArray("船东,国家\n\"A\"B,C\n") << none
                                                    << "line 2: text after the closing quote";
        QTest::newRow("quote inside a bare field")
            << QByteArray("船东,国家\nA,B\"C\n") << none << "line 2: a quote inside a field";
        QTest::newRow("id that is no number")
            << QByteArray("id,船东\n10,A\nx,B\n") << QStringList{"--keep-ids"}
            << "line 3: id \"x\" is not a whole number";
        // Found only while writing: the rows before it are taken back.
        QTest::newRow("id already taken")
            << QByteArray("id,船东\n10,A\n2,B\n") << QStringList{"--keep-ids"}
            << "line 3: id 2 is already taken";
    }
    void badFilesAreRefusedWithTheirLine() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        if (message.contains(QLatin1String("GB18030")) && !CanReadGb18030())
            QSKIP("this system cannot read GB18030 (Wine lacks code page 54936)");
        TestDatabase db(3);
        db.close();
        const QByteArray before = Contents(db.path(), folder_->path());
        const QString in = folder_->filePath(QStringLiteral("bad.csv"));
        QVERIFY(WriteFile(in, file));
        const Run run = RunAdmin(
            QStringList{QStringLiteral("import"), QStringLiteral("-d"), db.path(), in} + options);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(in), qPrintable(run.errors));
        QCOMPARE(Contents(db.path(), folder_->path()), before);
    }

    // Forms a file may take that all give the same two records.
    void readerAcceptsEveryLineBreak_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("CRLF") << QStringLiteral("a,b\r\nc,\r\n");
        QTest::newRow("LF, no break at the end") << QStringLiteral("a,b\nc,");
        QTest::newRow("CR") << QStringLiteral("a,b\rc,\r");
        QTest::newRow("empty lines") << QStringLiteral("\r\na,b\n\n\r\nc,\n\n");
        QTest::newRow("quoted") << QStringLiteral("\"a\",\"b\"\r\n\"c\",\"\"");
    }
    void readerAcceptsEveryLineBreak() {
        QFETCH(QString, text);
        const QList<csv::Record> records = csv::Parse(text);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].fields, (QStringList{"a", "b"}));
        QCOMPARE(records[1].fields, (QStringList{"c", ""}));
    }

    void backupWhileAnotherConnectionSaves() {
        TestDatabase db(20000);
        db.close();
        const QString copy = folder_->filePath(QStringLiteral("备份.bcd"));
        std::atomic<bool> stop{false};
        std::atomic<int> saves{0};
        QString writerError;
        // Saves as the record window does, on a connection of its own, until told to stop.
        std::thread writer([&] {
            try {
                auto conn = db.connect();
                while (!stop) {
                    auto rs = conn->OpenRecordset(data::ReadOneRowStatement(-1), data::adOpenKeyset,
                                                  data::adLockPessimistic);
                    rs->AddNew();
                    for (const QString& field : data::TextFields())
                        rs->SetValue(field, QStringLiteral("保存中 %1").arg(saves.load()));
                    rs->Update();
                    rs->Close();
                    ++saves;
                }
            } catch (const data::EngineError& e) {
                writerError = e.message();
            }
        });
        while (saves < 5 && writerError.isEmpty())
            QThread::msleep(5);
        const int savesBefore = saves;
        const Run backup =
            RunAdmin({QStringLiteral("backup"), QStringLiteral("-d"), db.path(), copy});
        const int savesAfter = saves;
        stop = true;
        writer.join();
        QVERIFY2(writerError.isEmpty(), qPrintable(writerError));
        QCOMPARE(backup.exitCode, 0);
        QVERIFY2(savesAfter > savesBefore, "no save ran during the backup");

        const Run check = RunAdmin({QStringLiteral("check"), copy});
        QCOMPARE(check.exitCode, 0);
        QVERIFY2(check.out.contains(QStringLiteral("integrity: ok")), qPrintable(check.out));
        // The copy holds the rows of one moment during the backup.
        const qsizetype at = check.out.indexOf(QStringLiteral("rows: "));
        QVERIFY(at >= 0);
        const int rows = check.out.mid(at + 6).section(QLatin1Char('\n'), 0, 0).toInt();
        QVERIFY2(rows >= 20000 + savesBefore && rows <= 20000 + savesAfter + 1,
                 qPrintable(check.out));
        QVERIFY(backup.out.contains(QStringLiteral("backed up %1 rows").arg(rows)));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{"备份.bcd"});

        // An existing copy is replaced only when asked.
        const Run again =
            RunAdmin({QStringLiteral("backup"), QStringLiteral("-d"), db.path(), copy});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.errors.contains(QStringLiteral("--force")));
        QCOMPARE(RunAdmin({QStringLiteral("backup"), QStringLiteral("--force"),
                           QStringLiteral("-d"), db.path(), copy})
                     .exitCode,
                 0);
    }

    void badInputGivesAMessageAndAnExitCode_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing database") << QStringList{"check", "<DIR>/无此文件.bcd"} << 1
                                          << "<DIR>/无此文件.bcd: no such file";
        QTest::newRow("wrong password") << QStringList{"check", "<DIR>/other.bcd"} << 1
                                        << "does not open with the program's password";
        QTest::newRow("not a database")
            << QStringList{"export", "-d", "<DIR>/text.bcd", "<DIR>/out.csv"} << 1
            << "<DIR>/text.bcd is not a database";
        QTest::newRow("plain SQLite file")
            << QStringList{"import", "-d", "<DIR>/plain.bcd", "<DIR>/in.csv"} << 1
            << "without the program's encryption";
        QTest::newRow("missing CSV file") << QStringList{"import", "-d", "<DB>", "<DIR>/无此.csv"}
                                          << 1 << "cannot read <DIR>/无此.csv";
        QTest::newRow("missing backup folder")
            << QStringList{"backup", "-d", "<DB>", "<DIR>/无此目录/copy.bcd"} << 1
            << "no such folder";
        QTest::newRow("init over a file") << QStringList{"init", "<DB>"} << 1 << "--force";
        QTest::newRow("no command") << QStringList{} << 2 << "no command given";
        QTest::newRow("unknown command") << QStringList{"restore"} << 2 << "unknown command";
        QTest::newRow("unknown option")
            << QStringList{"export", "--colour", "x", "<DIR>/out.csv"} << 2 << "colour";
        QTest::newRow("no CSV file") << QStringList{"import", "-d", "<DB>"} << 2 << "one CSV file";
        QTest::newRow("unknown encoding")
            << QStringList{"import", "--encoding", "big5", "<DIR>/in.csv"} << 2 << "gb18030";
    }
    void badInputGivesAMessageAndAnExitCode() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestDatabase db(2);
        db.close();
        const QString dir = folder_->path();
        dbbuilder::Database::Create(dir + QStringLiteral("/other.bcd"), "另一个密码");
        dbbuilder::Database::Create(dir + QStringLiteral("/plain.bcd"), QByteArray());
        QVERIFY(WriteFile(dir + QStringLiteral("/text.bcd"), "船东,国家\n"));
        QVERIFY(WriteFile(dir + QStringLiteral("/in.csv"), "船东\nA\n"));
        const QByteArray before = Contents(db.path(), dir);
        const QStringList files = QDir(dir).entryList(QDir::Files);

        arguments.replaceInStrings(QStringLiteral("<DIR>"), dir);
        arguments.replaceInStrings(QStringLiteral("<DB>"), db.path());
        message.replace(QStringLiteral("<DIR>"), dir);
        const Run run = RunAdmin(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QCOMPARE(QDir(dir).entryList(QDir::Files), files);
        QCOMPARE(Contents(db.path(), dir), before);
    }

    void checkFindsAMissingTableOrColumn() {
        TestDatabase db(3);
        QCOMPARE(RunAdmin({QStringLiteral("check"), db.path()}).exitCode, 0);
        QStringList columns{QStringLiteral("id INTEGER PRIMARY KEY")};
        for (const QString& field : data::TextFields())
            if (field != data::kFieldFax)
                columns << QLatin1Char('"') + field + QStringLiteral("\" TEXT");
        db.exec(QStringLiteral("DROP TABLE Thalvane; CREATE TABLE Thalvane (%1); INSERT INTO "
                               "Thalvane (id) VALUES (1), (2), (3)")
                    .arg(columns.join(QLatin1Char(','))));
        const Run column = RunAdmin({QStringLiteral("check"), db.path()});
        QCOMPARE(column.exitCode, 1);
        QVERIFY2(column.out.contains(QStringLiteral("missing columns 传真")),
                 qPrintable(column.out));
        QVERIFY(column.out.contains(QStringLiteral("rows: 3")));
        db.exec(QStringLiteral("DROP TABLE Thalvane"));
        const Run table = RunAdmin({QStringLiteral("check"), db.path()});
        QCOMPARE(table.exitCode, 1);
        QVERIFY2(table.out.contains(QStringLiteral("table Thalvane: missing")),
                 qPrintable(table.out));
    }

    void fullDisk() {
        testsupport::SmallDisk disk(1024);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.reason()));
        TestDatabase source(200);
        source.close();
        const QString db = disk.path() + QStringLiteral("/shipman.bcd");
        QCOMPARE(RunAdmin({QStringLiteral("init"), db}).exitCode, 0);
        QList<QStringList> records{Header()};
        for (int i = 1; i <= 2000; ++i)
            records << RoundTripRow(i);
        const QString in = folder_->filePath(QStringLiteral("big.csv"));
        QVERIFY(WriteFile(in, Utf8File(records)));
        const QByteArray before = Contents(db, folder_->path());
        disk.Fill();
        const QStringList files = QDir(disk.path()).entryList(QDir::Files);

        const Run import = RunAdmin({QStringLiteral("import"), QStringLiteral("-d"), db, in});
        QCOMPARE(import.exitCode, 1);
        QVERIFY2(import.errors.contains(QStringLiteral("the disk is full")),
                 qPrintable(import.errors));
        const Run exported = RunAdmin({QStringLiteral("export"), QStringLiteral("-d"),
                                       source.path(), disk.path() + QStringLiteral("/out.csv")});
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(exported.errors.contains(QStringLiteral("the disk is full")),
                 qPrintable(exported.errors));
        const Run backup = RunAdmin({QStringLiteral("backup"), QStringLiteral("-d"), source.path(),
                                     disk.path() + QStringLiteral("/copy.bcd")});
        QCOMPARE(backup.exitCode, 1);
        QVERIFY2(backup.errors.contains(QStringLiteral("the disk is full")),
                 qPrintable(backup.errors));
        // Export and backup leave nothing behind. The import's engine may leave the log and
        // shared-memory files of the database it could not write, as the engine does on a
        // full disk; the next open applies them.
        QStringList left = QDir(disk.path()).entryList(QDir::Files);
        left.removeAll(QStringLiteral("shipman.bcd-wal"));
        left.removeAll(QStringLiteral("shipman.bcd-shm"));
        QCOMPARE(left, files);
        QFile::remove(disk.path() + QStringLiteral("/filler"));
        QCOMPARE(Contents(db, folder_->path()), before);
    }

private:
    std::unique_ptr<QTemporaryDir> folder_;
};

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
