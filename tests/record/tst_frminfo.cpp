// The record window driven through its controls on a throw-away database: load, save,
// delete, close, reload while open, engine failures and ids beyond 16 bits.

#include "data/databasefile.h"
#include "data/engine.h"
#include "data/sharedconnection.h"
#include "data/sqlcipher/sqlcipherbackend.h"
#include "data/statements.h"
#include "data/valuerules.h"
#include "platform/sysdir.h"
#include "record/frminfo.h"
#include "support/accessible.h"
#include "support/damage.h"
#include "support/msgboxes.h"
#include "support/smalldisk.h"
#include "support/testdb.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/msgbox.h"
#include "ui/textboxes.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr int kBoxes = 9;

// Runs a checking helper and ends the test function when a check in it failed.
#define CHECK(call)                                                                                \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

QStringList NineEmpty() {
    return QStringList(kBoxes, QString());
}

QString BoxText(const QWidget* box) {
    if (auto* edit = qobject_cast<const QLineEdit*>(box))
        return edit->text();
    return qobject_cast<const QPlainTextEdit*>(box)->toPlainText();
}

QStringList BoxTexts(const frminfo& w) {
    QStringList texts;
    for (const QWidget* box : w.Txt)
        texts << BoxText(box);
    return texts;
}

// Texts as the boxes show them: a multi-line box holds a CR LF line break as one line
// feed.
QStringList Shown(QStringList texts) {
    texts.replaceInStrings(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return texts;
}

// Types text into a box as a user would: Latin-1 characters as key clicks, everything
// else committed by an input method, as Chinese text arrives.
void Type(QWidget* box, const QString& text) {
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\r')) {
            continue; // Enter gives the whole line break
        } else if (ch == QLatin1Char('\n')) {
            QTest::keyClick(box, Qt::Key_Return);
        } else if (ch.unicode() < 0x100) {
            QTest::keyClick(box, ch.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(ch));
            QCoreApplication::sendEvent(box, &commit);
        }
    }
}

// Selects everything in the box and types the new text over it.
void Retype(QWidget* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    Type(box, text);
}

// The nine text fields of a stored row, in box order.
QStringList StoredTexts(const QVariantMap& row) {
    QStringList texts;
    for (const QString& field : data::TextFields())
        texts << row.value(field).toString();
    return texts;
}

QVariantMap RowOf(const QStringList& texts) {
    QVariantMap row;
    const QStringList fields = data::TextFields();
    for (int i = 0; i < kBoxes; ++i)
        row.insert(fields[i], texts.value(i));
    return row;
}

const QStringList kSampleRow = {"长江远洋航运有限公司",
                                "中国",
                                "上海市浦东新区滨江路 88 号",
                                "021-5888 1234",
                                "021-5888 1235",
                                "www.changjiang-shipping.example",
                                "info@changjiang-shipping.example",
                                "成立于 1993 年。\r\n经营干散货船队。",
                                "长江船务代理\r\n长江船舶管理"};

} // namespace

class TestFrminfo : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::vector<platform::MsgBoxCall> boxes;
    std::optional<testsupport::MsgBoxRecorder> recorder;

    frminfo& Window() { return forms::Get<frminfo>(); }

    // Sets shipId and shows the window, as the main menu and the search do.
    frminfo& Open(qint32 id) {
        frminfo& w = Window();
        w.shipId = id;
        w.Show();
        return w;
    }

    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void ExpectOneBox(const QString& text, int style) {
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(boxes[0].text), text);
        QCOMPARE(QString::fromStdString(boxes[0].title), QStringLiteral("提示:"));
        QCOMPARE(boxes[0].style, style);
    }

    void ExpectOneErrorBox(const QString& head, const QString& engineText) {
        QCOMPARE(boxes.size(), std::size_t(1));
        const QString text = QString::fromStdString(boxes[0].text);
        QVERIFY2(text.startsWith(head), qPrintable(text));
        QVERIFY2(text.size() > head.size(), qPrintable(text));
        if (!engineText.isEmpty())
            QVERIFY2(text.contains(engineText), qPrintable(text));
        QCOMPARE(QString::fromStdString(boxes[0].title), QStringLiteral("提示:"));
        QCOMPARE(boxes[0].style, int(platform::vbCritical));
    }

    void TypeAll(frminfo& w, const QStringList& texts) {
        for (int i = 0; i < kBoxes; ++i)
            Retype(w.Txt[i], texts[i]);
    }

private slots:
    void initTestCase() {
        data::RegisterEmbeddedEngine();
        ui::InstallFontFallbacks();
    }

    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        platform::SetSystemDirectoryOverride(db->dir().toStdString());
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);
        boxes.clear();
        recorder.emplace(boxes, platform::vbYes);
    }

    void cleanup() {
        forms::DestroyAll();
        modGeneral::ResetConnection();
        recorder.reset();
        platform::SetSystemDirectoryOverride(std::nullopt);
        db.reset();
    }

    void controlsAsDesigned() {
        frminfo& w = Open(-1);
        QCOMPARE(w.windowTitle(), QStringLiteral("船东详细信息"));
        QCOMPARE(w.size(), QSize(542, 530));
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(qobject_cast<QPlainTextEdit*>(w.Txt[7]));
        QVERIFY(qobject_cast<QPlainTextEdit*>(w.Txt[8]));

        // Tab visits the controls by their tab index (labels take no focus).
        const QStringList expected = {"Txt(0)", "Txt(1)",   "Txt(2)",  "Txt(3)",
                                      "Txt(4)", "Txt(5)",   "Txt(7)",  "Txt(8)",
                                      "Txt(6)", "CmdQuery", "CmdStop", "SmartNetXpButton1"};
        QStringList chain;
        QWidget* widget = w.Txt[0];
        do {
            if (widget->focusPolicy() & Qt::TabFocus && widget->isVisibleTo(&w))
                chain << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != w.Txt[0]);
        QCOMPARE(chain, expected);

        // Every box is named by the label beside it; every control has a name to read.
        for (int i = 0; i < kBoxes; ++i) {
            QCOMPARE(w.lbl[i]->objectName(), QStringLiteral("lbl(%1)").arg(i));
            QCOMPARE(testsupport::AccessibleName(w.Txt[i]), w.lbl[i]->text());
        }
        for (QPushButton* button : {w.CmdQuery, w.CmdStop, w.SmartNetXpButton1}) {
            QCOMPARE(testsupport::AccessibleName(button), button->text());
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
    }

    // A new shipowner: saved once it is inserted, saved again it is changed.
    void newShipownerInsertsThenChanges() {
        frminfo& w = Open(-1);
        QCOMPARE(BoxTexts(w), Shown(NineEmpty()));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("增加"));
        QVERIFY(boxes.empty());

        TypeAll(w, kSampleRow);
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("增加成功", platform::vbInformation));
        QCOMPARE(db->count(), 1);
        const qint32 id = w.shipId;
        QVERIFY(id > 0);
        QCOMPARE(StoredTexts(db->row(id).value()), kSampleRow);
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("修改"));

        boxes.clear();
        Retype(w.Txt[1], "中华人民共和国");
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->count(), 1);
        QCOMPARE(w.shipId, id);
        QCOMPARE(db->row(id)->value(data::kFieldCountry).toString(),
                 QStringLiteral("中华人民共和国"));
        QStringList shown = kSampleRow;
        shown[1] = QStringLiteral("中华人民共和国");
        QCOMPARE(BoxTexts(w), Shown(shown));
    }

    // What the user typed is stored trimmed of spaces and stays in the boxes as typed.
    void typedTextIsStoredTrimmed_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored");
        QStringList spaced = kSampleRow;
        spaced[0] = "  Nordvik Rederi AS  ";
        spaced[4] = " 555 ";
        QStringList spacedStored = kSampleRow;
        spacedStored[0] = "Nordvik Rederi AS";
        spacedStored[4] = "555";
        QTest::newRow("spaces around") << spaced << spacedStored;
        QTest::newRow("all nine empty") << NineEmpty() << NineEmpty();
        QStringList blanks = NineEmpty();
        blanks[2] = "   ";
        QTest::newRow("only spaces") << blanks << NineEmpty();
    }
    void typedTextIsStoredTrimmed() {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        frminfo& w = Open(-1);
        TypeAll(w, typed);
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("增加成功", platform::vbInformation));
        QCOMPARE(db->count(), 1);
        const QVariantMap row = db->row(w.shipId).value();
        QCOMPARE(StoredTexts(row), stored);
        for (const QString& field : data::TextFields())
            QVERIFY2(!row.value(field).isNull(), qPrintable(field)); // empty text, not Null
        QCOMPARE(BoxTexts(w), Shown(typed));
    }

    // An existing row fills the boxes by the value rules; saving it unchanged leaves every
    // field as it was stored, but for a Null, which becomes the empty text.
    void existingRowLoadsAndSavesBack_data() {
        QTest::addColumn<QVariantMap>("row");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("plain") << RowOf(kSampleRow) << kSampleRow;

        QVariantMap withNulls = RowOf(kSampleRow);
        withNulls.insert(data::kFieldFax, QVariant());
        withNulls.remove(data::kFieldSubsidiaries); // stored as Null
        QStringList nullsSaved = kSampleRow;
        nullsSaved[4] = QString();
        nullsSaved[8] = QString();
        QTest::newRow("null fields") << withNulls << nullsSaved;

        QStringList spaced = kSampleRow;
        spaced[0] = "  Hellas Μεταφορική  ";
        spaced[7] = " first line\r\nsecond line ";
        QTest::newRow("spaces around") << RowOf(spaced) << spaced;

        QStringList longName = kSampleRow;
        longName[0] = QString(40000, QChar(u'船'));
        QTest::newRow("name longer than 32767") << RowOf(longName) << longName;

        QStringList lineFeeds = kSampleRow;
        lineFeeds[8] = "bare\nline feeds";
        QTest::newRow("bare line feeds") << RowOf(lineFeeds) << lineFeeds;
    }
    void existingRowLoadsAndSavesBack() {
        QFETCH(QVariantMap, row);
        QFETCH(QStringList, saved);
        const qint32 id = db->insert(row);
        frminfo& w = Open(id);
        QStringList shown = saved; // the value rules: no spaces at either end
        for (QString& text : shown)
            text = data::TrimSpaces(text);
        QCOMPARE(BoxTexts(w), Shown(shown));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("修改"));
        QVERIFY(boxes.empty());
        // A screen reader reads every box's text and the button's caption as they are now.
        for (int i = 0; i < kBoxes; ++i)
            QCOMPARE(testsupport::AccessibleValue(w.Txt[i]), Shown(shown)[i]);
        QCOMPARE(testsupport::AccessibleName(w.CmdQuery), QStringLiteral("修改"));

        Click(w.CmdQuery);
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->count(), 1);
        QCOMPARE(w.shipId, id);
        const QVariantMap stored = db->row(id).value();
        QCOMPARE(StoredTexts(stored), saved);
        for (const QString& field : data::TextFields())
            QVERIFY2(!stored.value(field).isNull(), qPrintable(field));
    }

    // A box the user leaves alone saves its field back exactly as another program stored
    // it; a box the user edits stores its text, line breaks as CR LF.
    void untouchedFieldsKeepTheirStoredForm_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("storedSql");
        QTest::addColumn<QString>("edit"); // typed at the end of the box; empty: left alone
        QTest::addColumn<QString>("expected");
        const int profile = 7;
        const int phone = 3;
        const struct {
            const char* name;
            int box;
            const char* sql;
            const char* stored;
            const char* edited;
        } kCases[] = {
            {"line feeds", profile, "CAST(X'610A62' AS TEXT)", "text:610A62", "text:610D0A6278"},
            {"CR LF", profile, "CAST(X'610D0A62' AS TEXT)", "text:610D0A62", "text:610D0A6278"},
            {"lone CR", profile, "CAST(X'610D62' AS TEXT)", "text:610D62", nullptr},
            {"no-break space", profile, "CAST(X'61C2A062' AS TEXT)", "text:61C2A062",
             "text:61C2A06278"},
            {"invalid UTF-8", phone, "CAST(X'3132FF33' AS TEXT)", "text:3132FF33",
             "text:3132EFBFBD3378"},
            {"integer", phone, "86021", "integer:3836303231", "text:383630323178"},
            {"blob", phone, "X'3132'", "blob:3132", "text:313278"},
        };
        for (const auto& c : kCases) {
            QTest::addRow("%s, unedited", c.name) << c.box << c.sql << QString() << c.stored;
            if (c.edited)
                QTest::addRow("%s, edited", c.name) << c.box << c.sql << "x" << c.edited;
        }
    }
    void untouchedFieldsKeepTheirStoredForm() {
        QFETCH(int, box);
        QFETCH(QString, storedSql);
        QFETCH(QString, edit);
        QFETCH(QString, expected);
        const qint32 id = db->insert(RowOf(kSampleRow));
        UntypedTextColumns(); // as another tool may make the table: numbers stay numbers
        const QString field = data::TextFields()[box];
        db->exec(QStringLiteral("UPDATE Thalvane SET \"%1\" = %2 WHERE id = %3")
                     .arg(field, storedSql)
                     .arg(id));
        frminfo& w = Open(id);
        if (!edit.isEmpty()) {
            const bool multiLine = box >= 7;
            QTest::keyClick(w.Txt[box], Qt::Key_End,
                            multiLine ? Qt::ControlModifier : Qt::NoModifier);
            Type(w.Txt[box], edit);
        }
        Retype(w.Txt[0], QStringLiteral("改名远洋")); // the save changes another field too
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->stored(id, field), expected);
        QCOMPARE(db->row(id)->value(data::kFieldName).toString(), QStringLiteral("改名远洋"));
        // Every other field is as it was.
        for (int i = 1; i < kBoxes; ++i) {
            if (i != box)
                QCOMPARE(db->row(id)->value(data::TextFields()[i]).toString(), kSampleRow[i]);
        }
    }

    void deleteAsksAndRemovesOnlyThatRow_data() {
        QTest::addColumn<bool>("addMode");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("add mode") << true << int(platform::vbYes) << false;
        QTest::newRow("answer no") << false << int(platform::vbNo) << false;
        QTest::newRow("answer yes") << false << int(platform::vbYes) << true;
    }
    void deleteAsksAndRemovesOnlyThatRow() {
        QFETCH(bool, addMode);
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        recorder->Answer(answer);
        const qint32 other = db->insert(RowOf({"Other Line"}));
        const qint32 id = db->insert(RowOf(kSampleRow));
        frminfo& w = Open(addMode ? -1 : id);
        if (addMode)
            TypeAll(w, kSampleRow);

        Click(w.SmartNetXpButton1);
        if (addMode)
            QVERIFY(boxes.empty());
        else
            CHECK(ExpectOneBox("是否要删除当前信息？", platform::vbYesNo));
        QVERIFY(db->row(other).has_value());
        QCOMPARE(db->row(id).has_value(), !deleted);
        QCOMPARE(db->count(), deleted ? 1 : 2);
        if (!deleted) {
            QCOMPARE(w.shipId, addMode ? -1 : id);
            QCOMPARE(BoxTexts(w), Shown(kSampleRow));
            QCOMPARE(w.CmdQuery->text(), addMode ? QStringLiteral("增加") : QStringLiteral("修改"));
            return;
        }
        QCOMPARE(w.shipId, -1);
        QCOMPARE(BoxTexts(w), Shown(NineEmpty()));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("增加"));

        // The next save inserts a new row.
        boxes.clear();
        Type(w.Txt[0], "Neu Reederei GmbH");
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("增加成功", platform::vbInformation));
        QCOMPARE(db->count(), 2);
        QVERIFY(w.shipId != id && w.shipId != other);
        QCOMPARE(db->row(w.shipId)->value(data::kFieldName).toString(),
                 QStringLiteral("Neu Reederei GmbH"));
    }

    // "退出" forgets the row; the close box keeps shipId. Both drop what was typed.
    void closeUnloads_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("退出") << false;
        QTest::newRow("close box") << true;
    }
    void closeUnloads() {
        QFETCH(bool, closeBox);
        const qint32 id = db->insert(RowOf(kSampleRow));
        frminfo& w = Open(id);
        Retype(w.Txt[0], "typed, not saved");
        if (closeBox)
            QVERIFY(w.close());
        else
            Click(w.CmdStop);
        QVERIFY(!w.IsLoaded());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.shipId, closeBox ? id : -1);
        QVERIFY(boxes.empty());
        QCOMPARE(StoredTexts(db->row(id).value()), kSampleRow);

        Open(id);
        QCOMPARE(BoxTexts(w), Shown(kSampleRow));
    }

    // A show request while the window is open loads the requested row, replacing what
    // was typed, so that boxes, caption and shipId belong together.
    void showWhileOpenReloads() {
        const qint32 first = db->insert(RowOf(kSampleRow));
        const qint32 second = db->insert(RowOf({"Second Line", "Norway"}));
        frminfo& w = Open(first);
        Retype(w.Txt[0], "typed, not saved");

        Open(second);
        QVERIFY(w.isVisible());
        QCOMPARE(w.shipId, second);
        QCOMPARE(BoxTexts(w).mid(0, 3), QStringList({"Second Line", "Norway", ""}));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("修改"));

        Retype(w.Txt[0], "typed again");
        Open(second);
        QCOMPARE(BoxText(w.Txt[0]), QStringLiteral("Second Line"));

        Open(-1);
        QCOMPARE(BoxTexts(w), Shown(NineEmpty()));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("增加"));
        QVERIFY(boxes.empty());
        QCOMPARE(db->count(), 2);
    }

    // A row that no longer exists opens empty in modify mode; its save inserts a row.
    void missingRowOpensEmptyInModifyMode() {
        const qint32 gone = db->insert(RowOf(kSampleRow));
        db->exec(QStringLiteral("delete from Thalvane where id=%1").arg(gone));
        frminfo& w = Open(gone);
        QVERIFY(w.isVisible());
        QCOMPARE(BoxTexts(w), Shown(NineEmpty()));
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("修改"));
        QVERIFY(boxes.empty());

        Type(w.Txt[0], "Reborn Shipping");
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->count(), 1);
        QVERIFY(w.shipId != gone);
        QCOMPARE(db->row(w.shipId)->value(data::kFieldName).toString(),
                 QStringLiteral("Reborn Shipping"));
    }

    // A save and a delete run while a search is still reading its rows (the search yields
    // to the event loop between rows): both succeed and the search lists what it found.
    void saveAndDeleteDuringASearch() {
        const qint32 first = db->insert(RowOf({"Alpha Shipping"}));
        const qint32 second = db->insert(RowOf({"Beta Shipping"}));
        const qint32 third = db->insert(RowOf({"Gamma Shipping"}));
        std::unique_ptr<data::Recordset> search = modGeneral::gConn().OpenRecordset(
            data::SearchStatement(QString(), QString()), data::adOpenStatic, data::adLockReadOnly);
        QList<qint32> listed;
        listed << search->Value(data::kFieldId).toInt();
        search->MoveNext();

        frminfo& w = Open(second);
        Retype(w.Txt[0], "Beta Changed");
        Click(w.CmdQuery);
        Open(third);
        Click(w.SmartNetXpButton1);
        Type(w.Txt[0], "Delta Shipping");
        Click(w.CmdQuery);
        QCOMPARE(boxes.size(), std::size_t(3)); // changed, the question, added
        QCOMPARE(QString::fromStdString(boxes[2].text), QStringLiteral("增加成功"));
        QCOMPARE(db->row(second)->value(data::kFieldName).toString(),
                 QStringLiteral("Beta Changed"));
        QVERIFY(!db->row(third).has_value());
        QCOMPARE(db->count(), 3);

        for (; !search->Eof(); search->MoveNext())
            listed << search->Value(data::kFieldId).toInt();
        search->Close();
        QCOMPARE(listed, QList<qint32>({third, second, first}));
    }

    // The engine refuses a save or a delete: one error box, and nothing else changes.
    void refusedWriteChangesNothing_data() {
        QTest::addColumn<bool>("addMode");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<QString>("head");
        QTest::newRow("insert") << true << "before insert" << false << "保存失败：";
        QTest::newRow("update") << false << "before update" << false << "保存失败：";
        QTest::newRow("delete") << false << "before delete" << true << "删除失败：";
    }
    void refusedWriteChangesNothing() {
        QFETCH(bool, addMode);
        QFETCH(QString, trigger);
        QFETCH(bool, deleting);
        QFETCH(QString, head);
        const qint32 id = db->insert(RowOf(kSampleRow));
        db->exec(QStringLiteral("create trigger refuse %1 on Thalvane begin "
                                "select raise(abort, 'refused by the test'); end")
                     .arg(trigger));
        frminfo& w = Open(addMode ? -1 : id);
        QStringList typed = kSampleRow;
        typed[0] = "Typed Name";
        typed[7] = "typed\r\nprofile";
        TypeAll(w, typed);

        Click(deleting ? w.SmartNetXpButton1 : w.CmdQuery);
        if (deleting) {
            QCOMPARE(boxes.size(), std::size_t(2)); // the question, then the failure
            boxes.erase(boxes.begin());
        }
        CHECK(ExpectOneErrorBox(head, "refused by the test"));
        QCOMPARE(BoxTexts(w), Shown(typed));
        QCOMPARE(w.shipId, addMode ? -1 : id);
        QCOMPARE(w.CmdQuery->text(), addMode ? QStringLiteral("增加") : QStringLiteral("修改"));
        QCOMPARE(db->count(), 1);
        QCOMPARE(StoredTexts(db->row(id).value()), kSampleRow);

        // Once the engine accepts it again, the same window saves what was typed.
        db->exec(QStringLiteral("drop trigger refuse"));
        boxes.clear();
        Click(w.CmdQuery);
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(StoredTexts(db->row(w.shipId).value()), typed);
    }

    // The load step fails on a table that lacks a field.
    void failedReloadKeepsTheShownRecord() {
        const qint32 first = db->insert(RowOf(kSampleRow));
        const qint32 second = db->insert(RowOf({"Second Line"}));
        frminfo& w = Open(first);
        Retype(w.Txt[0], "typed, not saved");
        const QStringList typed = BoxTexts(w);
        DropFaxColumn();

        Open(second);
        CHECK(ExpectOneErrorBox("读取失败：", data::kFieldFax));
        QVERIFY(w.isVisible());
        QCOMPARE(BoxTexts(w), Shown(typed));
        QCOMPARE(w.shipId, first);
        QCOMPARE(w.CmdQuery->text(), QStringLiteral("修改"));
        QCOMPARE(db->count(), 2);
    }

    void failedFirstLoadShowsNoWindow() {
        const qint32 id = db->insert(RowOf(kSampleRow));
        DropFaxColumn();
        frminfo& w = Open(id);
        CHECK(ExpectOneErrorBox("读取失败：", data::kFieldFax));
        QVERIFY(!w.IsLoaded());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.shipId, id);
    }

    // A field of megabytes in one line shows at once and is saved back exactly, left
    // alone or edited.
    void longTextsShowAndSaveBack() {
        QString huge;
        for (int i = 0; huge.size() < 5'000'000; ++i)
            huge += QStringLiteral("远洋航运Shipping%1").arg(i % 10);
        QVariantMap row = RowOf(kSampleRow);
        row.insert(data::kFieldProfile, huge);
        row.insert(data::kFieldPhone, huge);
        const qint32 id = db->insert(row);
        frminfo& w = Open(id);
        QVERIFY(w.isVisible());
        auto* phone = static_cast<ui::LineBox*>(w.Txt[3]);
        QVERIFY(phone->IsCut());
        QCOMPARE(phone->Text(), huge);
        QCOMPARE(static_cast<ui::MultiLineBox*>(w.Txt[7])->Text(), huge);

        Click(w.CmdQuery);
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->row(id)->value(data::kFieldProfile).toString(), huge);
        QCOMPARE(db->row(id)->value(data::kFieldPhone).toString(), huge);

        boxes.clear();
        QTest::keyClick(w.Txt[7], Qt::Key_End, Qt::ControlModifier);
        Type(w.Txt[7], "!");
        Click(w.CmdQuery);
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->row(id)->value(data::kFieldProfile).toString(), huge + QLatin1Char('!'));
    }

    // The engine's failures, provoked for real, reach the user as a Chinese sentence for
    // the kind of failure and then the engine's own text.
    void failureBoxesSayWhatHappened_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("head");
        QTest::newRow("another program holds the lock")
            << "busy"
            << "保存失败：数据库正被其他程序使用，请稍后再试。(database is locked)";
        QTest::newRow("damaged table page")
            << "damaged"
            << "读取失败：数据库文件已损坏。(database disk image is malformed)";
        QTest::newRow("field missing") << "column"
                                       << "读取失败：数据表缺少字段。(Item cannot be found";
    }
    void failureBoxesSayWhatHappened() {
        QFETCH(QString, failure);
        QFETCH(QString, head);
        const qint32 id = db->insert(RowOf(kSampleRow));
        if (failure == QLatin1String("busy")) {
            frminfo& w = Open(id);
            Retype(w.Txt[0], "等待中");
            db->exec(QStringLiteral("BEGIN IMMEDIATE")); // another writer, for the whole wait
            Click(w.CmdQuery);
            db->exec(QStringLiteral("ROLLBACK"));
            QCOMPARE(BoxTexts(w)[0], QStringLiteral("等待中"));
        } else if (failure == QLatin1String("damaged")) {
            DamageTablePage();
            Open(id);
        } else {
            DropFaxColumn();
            Open(id);
        }
        QCOMPARE(boxes.size(), std::size_t(1));
        const QString text = QString::fromStdString(boxes[0].text);
        QVERIFY2(text.startsWith(head) && text.endsWith(QLatin1Char(')')), qPrintable(text));
        QCOMPARE(QString::fromStdString(boxes[0].title), QStringLiteral("提示:"));
        QCOMPARE(boxes[0].style, int(platform::vbCritical));
    }

    // A save that waits for another program's lock shows the wait cursor meanwhile, and
    // saves once the lock is let go within the wait.
    void saveWaitingForALockShowsTheWaitCursor() {
        const qint32 id = db->insert(RowOf(kSampleRow));
        frminfo& w = Open(id);
        Retype(w.Txt[0], "等锁");
        db->exec(QStringLiteral("BEGIN IMMEDIATE")); // another writer
        QVERIFY(!QGuiApplication::overrideCursor());
        std::atomic<int> shapeWhileWaiting{-1};
        std::thread other([&] {
            // The window is blocked in the engine's wait now; look, then let go.
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            const QCursor* cursor = QGuiApplication::overrideCursor();
            shapeWhileWaiting = cursor ? int(cursor->shape()) : int(Qt::ArrowCursor);
            db->exec(QStringLiteral("ROLLBACK"));
        });
        Click(w.CmdQuery);
        other.join();
        QCOMPARE(shapeWhileWaiting.load(), int(Qt::WaitCursor));
        QVERIFY(!QGuiApplication::overrideCursor());
        CHECK(ExpectOneBox("修改成功", platform::vbInformation));
        QCOMPARE(db->row(id)->value(data::kFieldName).toString(), QStringLiteral("等锁"));
    }

    // A save on a damaged file says what the engine found, never "not an error".
    void saveOnADamagedFileSaysWhatWentWrong_data() {
        QTest::addColumn<QString>("page"); // with the flipped bit
        QTest::addColumn<bool>("adding");
        QTest::newRow("a leaf, a new shipowner") << "leaf" << true;
        QTest::newRow("a leaf, a change") << "leaf" << false;
        QTest::newRow("the table's root, a new shipowner") << "root" << true;
        QTest::newRow("the demo rows, byte 3500, a new shipowner") << "demo" << true;
    }
    void saveOnADamagedFileSaysWhatWentWrong() {
        QFETCH(QString, page);
        QFETCH(bool, adding);
        modGeneral::ResetConnection();
        db = std::make_unique<testsupport::TestDatabase>(page == "demo" ? 0 : 600);
        if (page == "demo")
            db->insertSamples();
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);
        // The rows go in id order; a change is made to the row on the damaged leaf, the
        // last one.
        frminfo& w = Open(adding ? -1 : 600);
        boxes.clear();
        db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        QFile file(db->path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 damaged = page == "root" ? 2 : file.size() / 1024;
        const qint64 at = page == "demo" ? 3500 : (damaged - 1) * 1024 + 200;
        QVERIFY(testsupport::FlipBit(file, at));
        file.close();
        modGeneral::ResetConnection();
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);

        Retype(w.Txt[0], "损坏");
        Click(w.CmdQuery);
        QCOMPARE(boxes.size(), std::size_t(1));
        const QString text = QString::fromStdString(boxes[0].text);
        QVERIFY2(text.startsWith(QStringLiteral("保存失败：数据库文件已损坏。(")) &&
                     !text.contains(QLatin1String("not an error")),
                 qPrintable(text));
        QCOMPARE(boxes[0].style, int(platform::vbCritical));
    }

    void saveOnAFullDiskSaysTheDiskIsFull() {
        testsupport::SmallDisk disk(1024);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.reason()));
        modGeneral::ResetConnection();
        db = std::make_unique<testsupport::TestDatabase>(0, disk.path());
        const qint32 id = db->insert(RowOf(kSampleRow));
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);
        frminfo& w = Open(id);
        db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")); // the log keeps no room
        disk.Fill();
        Retype(w.Txt[0], "满");
        Click(w.CmdQuery);
        CHECK(ExpectOneErrorBox("保存失败：磁盘已满。(", QString()));
        QCOMPARE(w.shipId, id);
        QCOMPARE(BoxTexts(w)[0], QStringLiteral("满"));
        QCOMPARE(db->row(id)->value(data::kFieldName).toString(), kSampleRow[0]);
        forms::DestroyAll();
        modGeneral::ResetConnection();
        // The failed save left nothing in the log: the last close still removes the log
        // and its index (docs/DATABASE.md).
        db->close();
        QCOMPARE(QDir(db->dir()).entryList(QDir::Files), QStringList{"shipman.bcd"});
        db.reset(); // before the disk goes
    }

    // Ids are 32-bit: rows beyond 32767 load, save and delete, and new rows get such ids.
    void idAbove32767() {
        QVariantMap big = RowOf(kSampleRow);
        big.insert(data::kFieldId, 70000);
        QCOMPARE(db->insert(big), 70000);
        frminfo& w = Open(70000);
        QCOMPARE(BoxTexts(w), Shown(kSampleRow));

        Retype(w.Txt[1], "Malta");
        Click(w.CmdQuery);
        QCOMPARE(w.shipId, 70000);
        QCOMPARE(db->row(70000)->value(data::kFieldCountry).toString(), QStringLiteral("Malta"));

        Click(w.SmartNetXpButton1);
        QVERIFY(!db->row(70000).has_value());
        QCOMPARE(w.shipId, -1);

        Type(w.Txt[0], "After Seventy Thousand");
        Click(w.CmdQuery);
        QVERIFY(w.shipId > 32767);
        QCOMPARE(db->row(w.shipId)->value(data::kFieldName).toString(),
                 QStringLiteral("After Seventy Thousand"));
        QCOMPARE(db->count(), 1);
    }

    // The window has no default button and no keys of its own.
    void enterDoesNotSaveAndEscapeDoesNotClose() {
        frminfo& w = Open(-1);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        Type(w.Txt[0], "Enter Test");
        w.Txt[0]->setFocus();
        QTest::keyClick(w.Txt[0], Qt::Key_Return);
        QTest::keyClick(w.Txt[0], Qt::Key_Enter);
        QTest::keyClick(w.Txt[0], Qt::Key_Escape);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(boxes.empty());
        QCOMPARE(db->count(), 0);
        QVERIFY(w.IsLoaded());
        QVERIFY(w.isVisible());
        QCOMPARE(BoxText(w.Txt[0]), QStringLiteral("Enter Test"));
        QCOMPARE(w.shipId, -1);

        // In a multi-line box Enter starts a new line.
        Type(w.Txt[7], "a");
        QTest::keyClick(w.Txt[7], Qt::Key_Return);
        Type(w.Txt[7], "b");
        QCOMPARE(BoxText(w.Txt[7]), QStringLiteral("a\nb"));
        QVERIFY(boxes.empty());
    }

private:
    // The table without the field 传真, as a damaged file might hold it.
    void DropFaxColumn() {
        QStringList kept = data::TextFields();
        kept.removeAll(data::kFieldFax);
        RebuildTable(kept, QStringLiteral(" TEXT"));
    }

    // Spoils the bytes of the table's page in the file, where the rows are, and opens the
    // program's connection afresh so that it reads the file as it is now.
    void DamageTablePage() {
        db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        QFile file(db->path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        constexpr qint64 kSecondPage = 1024;
        QVERIFY(file.seek(kSecondPage + 600));
        QVERIFY(file.write(QByteArray(16, '\x5a')) == 16);
        file.close();
        modGeneral::ResetConnection();
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);
    }

    // The table with the nine fields declared without a type.
    void UntypedTextColumns() { RebuildTable(data::TextFields(), QString()); }

    void RebuildTable(const QStringList& kept, const QString& type) {
        QStringList columns = {QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT")};
        for (const QString& field : kept)
            columns << field + type;
        const QString list = QStringLiteral("id,") + kept.join(',');
        db->exec(QStringLiteral("alter table Thalvane rename to Thalvane_old"));
        db->exec(QStringLiteral("create table Thalvane (%1)").arg(columns.join(',')));
        db->exec(QStringLiteral("insert into Thalvane (%1) select %1 from Thalvane_old").arg(list));
        db->exec(QStringLiteral("drop table Thalvane_old"));
        // The program meets the file as it is now through a freshly opened connection.
        modGeneral::ResetConnection();
        modGeneral::gConn().Open(db->connectionString(), data::kUserId, data::kPassword);
    }
};

QTEST_MAIN(TestFrminfo)
#include "tst_frminfo.moc"
