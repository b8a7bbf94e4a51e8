#pragma once
// Text boxes that stay responsive whatever the length of their text.
//
// Qt lays out a paragraph of a text box as one piece, and a line box's whole text as one
// line, on every change and paint: a text of some megabytes in one line freezes the
// window for seconds to minutes. These boxes keep what they lay out small while their
// text stays exactly what was set, pasted or typed.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <vector>

namespace ui {

// A multi-line box. A paragraph longer than kPieceChars is held as pieces of that many
// characters, each a paragraph of its own for the layout, so that only the pieces on the
// screen are laid out; the breaks between pieces are not part of the text. A normal text
// looks and wraps exactly as in a plain QPlainTextEdit.
class MultiLineBox : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kPieceChars = 16384;

    explicit MultiLineBox(QWidget* parent = nullptr);

    // The box's text, line breaks as "\n". Nothing else is changed: a no-break space or a
    // line separator stays what it is.
    QString Text() const;
    // Replaces the text; the box is then unmodified.
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    bool IsPieceBreak(int position) const;
    // Puts text in place of the cursor's selection, long runs between line breaks as
    // pieces, as one step to undo.
    void Insert(QTextCursor& cursor, const QString& text);
    // The insertion itself; the positions of the breaks it makes between pieces go to
    // `breaks`.
    void InsertPieces(QTextCursor& cursor, const QString& text, std::vector<int>& breaks);
    // The text from position `from` to `to` of the document, without the piece breaks.
    QString TextBetween(int from, int to) const;
    void Follow(int position, int removed, int added);

    // Document positions of the paragraph separators that only divide pieces, ascending.
    std::vector<int> pieceBreaks_;
    bool inserting_ = false;
};

// A single-line box. A text longer than kMaxEditChars, which no line box can show but
// the first few hundred characters of, is kept whole but shown cut at kShownChars, read
// only; Delete or Backspace then empties the box, and pasting such a text stores it
// whole in the same way.
class LineBox : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kMaxEditChars = 100000;
    static constexpr int kShownChars = 1000;

    explicit LineBox(QWidget* parent = nullptr);

    QString Text() const;
    // Replaces the text; the box is then unmodified.
    void SetText(const QString& text);
    // True while the box holds a text too long to show whole.
    bool IsCut() const { return cut_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Paste();
    // Puts text in the box in place of the selection, as typing or pasting does.
    void Replace(const QString& inserted);
    void Show(const QString& text);

    QString full_; // the whole text while cut
    bool cut_ = false;
};

} // namespace ui
