// Text boxes with texts of any length: what is set, pasted or typed is what they give
// back, and a long text is laid out in pieces (multi-line) or shown cut (single-line).

#include "ui/textboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QtTest>

namespace {

// A line of n characters with no break opportunity, the hardest case for the layout.
QString OneLongLine(int n) {
    QString text;
    text.reserve(n);
    for (int i = 0; i < n; ++i)
        text += QChar(u'a' + i % 26);
    return text;
}

void Press(QWidget* box, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(box, key, modifiers);
}

} // namespace

class TestTextBoxes : public QObject {
    Q_OBJECT
private slots:
    // What goes in comes out, character for character.
    void multiLineTextRoundTrips_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("line feeds") << "a\nb\n\nc"
                                    << "a\nb\n\nc";
        QTest::newRow("CR LF and lone CR") << "a\r\nb\rc"
                                           << "a\nb\nc";
        QTest::newRow("no-break space and line separator")
            << QString::fromUtf8("船\u00A0东\u2028名录")
            << QString::fromUtf8("船\u00A0东\u2028名录");
        const QString longLine = OneLongLine(3 * ui::MultiLineBox::kPieceChars + 7);
        QTest::newRow("one line of three pieces and a bit") << longLine << longLine;
        const QString surrogates = QString(ui::MultiLineBox::kPieceChars - 1, QLatin1Char('x')) +
                                   QString::fromUtf8("\U0001F6A2\U0001F6A2");
        QTest::newRow("a character across the end of a piece") << surrogates << surrogates;
        QTest::newRow("long lines between short ones")
            << "head\n" + longLine + "\nmiddle\n" + longLine + "\n"
            << "head\n" + longLine + "\nmiddle\n" + longLine + "\n";
    }
    void multiLineTextRoundTrips() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        ui::MultiLineBox box;
        box.SetText(text);
        QCOMPARE(box.Text(), expected);
        QVERIFY(!box.document()->isModified());
        // No paragraph of the layout is longer than a piece.
        for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next())
            QVERIFY(b.length() <= ui::MultiLineBox::kPieceChars + 1);
    }

    // Editing a text held in pieces: Enter breaks the line where it is pressed; Backspace
    // and Delete at the end of a piece take the character beyond it, as at a wrap.
    void editingAcrossPieces_data() {
        QTest::addColumn<int>("position"); // from the start of the text
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("change");           // what happened at the position: +c, -n
        const int end = ui::MultiLineBox::kPieceChars; // the first piece ends here
        QTest::newRow("Enter inside a piece") << 10 << int(Qt::Key_Return) << "+\n";
        QTest::newRow("Enter at the end of a piece") << end << int(Qt::Key_Return) << "+\n";
        QTest::newRow("Backspace at the start of a piece") << end << int(Qt::Key_Backspace) << "-1";
        QTest::newRow("Delete at the end of a piece") << end << int(Qt::Key_Delete) << "-0";
        QTest::newRow("typing at the end of a piece") << end << int(Qt::Key_X) << "+x";
    }
    void editingAcrossPieces() {
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(QString, change);
        const QString text = OneLongLine(2 * ui::MultiLineBox::kPieceChars + 100);
        ui::MultiLineBox box;
        box.SetText(text);
        box.show();
        // The first piece break is the document's character at kPieceChars. The cursor goes
        // before it, at the end of the first piece, but for Backspace, which a user presses
        // at the start of the next piece, just after it.
        QTextCursor cursor(box.document());
        const bool atNextPiece = key == Qt::Key_Backspace;
        cursor.setPosition(position + (atNextPiece ? 1 : 0));
        box.setTextCursor(cursor);
        Press(&box, Qt::Key(key));

        QString expected = text;
        if (change.startsWith(QLatin1Char('+')))
            expected.insert(position, change.mid(1));
        else if (change == QLatin1String("-1"))
            expected.remove(position - 1, 1);
        else
            expected.remove(position, 1);
        QCOMPARE(box.Text(), expected);
        QVERIFY(box.document()->isModified());
    }

    void pasteOfAHugeLineIsHeldInPieces() {
        const QString text = OneLongLine(5'000'000);
        ui::MultiLineBox box;
        box.SetText(QStringLiteral("前\n后"));
        box.show();
        QTextCursor cursor(box.document());
        cursor.setPosition(1); // the end of the first line
        box.setTextCursor(cursor);
        QGuiApplication::clipboard()->setText(text);
        Press(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.Text(), QStringLiteral("前") + text + QStringLiteral("\n后"));
        QVERIFY(box.document()->blockCount() > 5'000'000 / ui::MultiLineBox::kPieceChars);
        // Undo takes the whole paste back.
        Press(&box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box.Text(), QStringLiteral("前\n后"));
    }

    void copyAcrossAPieceBreakCopiesTheText() {
        const QString text = OneLongLine(ui::MultiLineBox::kPieceChars + 50);
        ui::MultiLineBox box;
        box.SetText(text);
        QTextCursor cursor(box.document());
        cursor.setPosition(ui::MultiLineBox::kPieceChars - 5);
        cursor.setPosition(ui::MultiLineBox::kPieceChars + 6, QTextCursor::KeepAnchor);
        box.setTextCursor(cursor);
        box.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 text.mid(ui::MultiLineBox::kPieceChars - 5, 10));
    }

    // A single-line text too long to edit is shown cut and kept whole.
    void lineBoxKeepsALongTextWhole() {
        const QString text = OneLongLine(5'000'000);
        ui::LineBox box;
        box.SetText(text);
        QVERIFY(box.IsCut());
        QVERIFY(box.isReadOnly());
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.text().size(), ui::LineBox::kShownChars + 1); // and an ellipsis
        QVERIFY(!box.isModified());
        QVERIFY(!box.toolTip().isEmpty());

        box.show();
        Press(&box, Qt::Key_A); // read-only: typing changes nothing
        QCOMPARE(box.Text(), text);
        Press(&box, Qt::Key_Delete);
        QVERIFY(!box.IsCut());
        QVERIFY(!box.isReadOnly());
        QCOMPARE(box.Text(), QString());
        QVERIFY(box.isModified());
    }

    void pastingIntoALineBox_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("cut");
        QTest::newRow("a short text") << 20 << false;
        QTest::newRow("the longest text it edits") << ui::LineBox::kMaxEditChars - 3 << false;
        QTest::newRow("5,000,000 characters") << 5'000'000 << true;
    }
    void pastingIntoALineBox() {
        QFETCH(int, length);
        QFETCH(bool, cut);
        const QString pasted = OneLongLine(length);
        ui::LineBox box;
        box.SetText(QStringLiteral("abc"));
        box.show();
        box.setCursorPosition(1);
        QGuiApplication::clipboard()->setText(pasted);
        Press(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.IsCut(), cut);
        QCOMPARE(box.Text(), QStringLiteral("a") + pasted + QStringLiteral("bc"));
        QVERIFY(box.isModified());
    }
};

QTEST_MAIN(TestTextBoxes)
#include "tst_textboxes.moc"
