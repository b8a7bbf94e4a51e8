#include "ui/textboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <limits>

namespace ui {

MultiLineBox::MultiLineBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChange, this, &MultiLineBox::Follow);
}

void MultiLineBox::Follow(int position, int removed, int added) {
    if (inserting_)
        return; // the box's own insertion accounts for its breaks itself
    // A piece break inside the changed range is gone (the text around it was joined or
    // replaced); those after it move with the change.
    std::vector<int> kept;
    kept.reserve(pieceBreaks_.size());
    for (const int at : pieceBreaks_) {
        if (at < position)
            kept.push_back(at);
        else if (at >= position + removed)
            kept.push_back(at - removed + added);
    }
    pieceBreaks_ = std::move(kept);
}

QString MultiLineBox::TextBetween(int from, int to) const {
    // The raw text keeps every character as it is; paragraph separators are line breaks
    // but for those that divide pieces.
    const QString raw = document()->toRawText();
    to = std::min(to, int(raw.size()));
    QString text;
    text.reserve(std::max(0, to - from));
    auto next = std::lower_bound(pieceBreaks_.begin(), pieceBreaks_.end(), from);
    for (int at = from; at < to && at < raw.size(); ++at) {
        const QChar ch = raw.at(at);
        if (ch == QChar::ParagraphSeparator) {
            if (next != pieceBreaks_.end() && *next == at) {
                ++next;
                continue;
            }
            text += QLatin1Char('\n');
        } else {
            text += ch;
        }
    }
    return text;
}

QString MultiLineBox::Text() const {
    return TextBetween(0, std::numeric_limits<int>::max());
}

void MultiLineBox::SetText(const QString& text) {
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    Insert(cursor, text);
    document()->clearUndoRedoStacks();
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
}

void MultiLineBox::Insert(QTextCursor& cursor, const QString& text) {
    const int from = cursor.selectionStart();
    const int removed = cursor.selectionEnd() - from;
    std::vector<int> added;
    inserting_ = true;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertPieces(cursor, text, added);
    cursor.endEditBlock();
    inserting_ = false;
    // The breaks there were before move as the text did; then the new ones.
    const int inserted = cursor.position() - from;
    Follow(from, removed, inserted);
    pieceBreaks_.insert(std::upper_bound(pieceBreaks_.begin(), pieceBreaks_.end(), from),
                        added.begin(), added.end());
}

void MultiLineBox::InsertPieces(QTextCursor& cursor, const QString& text,
                                std::vector<int>& breaks) {
    // Line by line; a line break of any kind (CR LF, LF, CR) starts a new paragraph.
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != QLatin1Char('\n') &&
               text.at(end) != QLatin1Char('\r') && text.at(end) != QChar::ParagraphSeparator)
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        for (qsizetype piece = 0; piece < line.size();) {
            qsizetype length = std::min<qsizetype>(kPieceChars, line.size() - piece);
            if (piece + length < line.size() && line.at(piece + length - 1).isHighSurrogate())
                --length; // a character is never cut in two
            if (piece > 0) {
                breaks.push_back(cursor.position());
                cursor.insertBlock();
            }
            cursor.insertText(line.mid(piece, length).toString());
            piece += length;
        }
        if (end >= text.size())
            break;
        if (text.at(end) == QLatin1Char('\r') && end + 1 < text.size() &&
            text.at(end + 1) == QLatin1Char('\n'))
            ++end;
        cursor.insertBlock();
        start = end + 1;
    }
}

bool MultiLineBox::IsPieceBreak(int position) const {
    return std::binary_search(pieceBreaks_.begin(), pieceBreaks_.end(), position);
}

void MultiLineBox::keyPressEvent(QKeyEvent* event) {
    // A break between pieces is no character: Backspace and Delete act on the character
    // beyond it, as they would where a long line merely wraps.
    QTextCursor cursor = textCursor();
    const bool backspace =
        event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier;
    const bool del = event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier;
    if (!isReadOnly() && !cursor.hasSelection() && (backspace || del)) {
        const int separator = backspace ? cursor.position() - 1 : cursor.position();
        if (IsPieceBreak(separator) && (backspace ? separator > 0 : true)) {
            cursor.setPosition(backspace ? separator : separator + 1);
            if (backspace)
                cursor.deletePreviousChar();
            else
                cursor.deleteChar();
            setTextCursor(cursor);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineBox::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    Insert(cursor, source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* MultiLineBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

LineBox::LineBox(QWidget* parent) : QLineEdit(parent) {
    // No length limit of its own: a long text is kept whole (and shown cut).
    setMaxLength(std::numeric_limits<int>::max());
}

QString LineBox::Text() const {
    return cut_ ? full_ : text();
}

void LineBox::Show(const QString& text) {
    cut_ = text.size() > kMaxEditChars;
    full_ = cut_ ? text : QString();
    setReadOnly(cut_);
    setText(cut_ ? text.left(kShownChars) + QChar(0x2026) : text);
    setToolTip(
        cut_ ? QStringLiteral("共 %1 个字符，只显示开头部分；按 Delete 键清空。").arg(text.size())
             : QString());
    setCursorPosition(0); // the start of a long value
}

void LineBox::SetText(const QString& text) {
    Show(text);
    setModified(false);
}

void LineBox::Replace(const QString& inserted) {
    const QString current = Text();
    const int from = cut_ ? 0 : (hasSelectedText() ? selectionStart() : cursorPosition());
    const int length = cut_ ? int(current.size()) : int(selectedText().size());
    Show(QString(current).replace(from, length, inserted));
    setModified(true);
}

void LineBox::Paste() {
    const QString clip = QGuiApplication::clipboard()->text();
    if (!cut_ && Text().size() - selectedText().size() + clip.size() <= kMaxEditChars) {
        paste();
        return;
    }
    Replace(clip);
}

void LineBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    if (cut_ && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        Replace(QString());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void LineBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Pasting goes through the box, which keeps a long text whole.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            action->disconnect();
            action->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
            connect(action, &QAction::triggered, this, &LineBox::Paste);
        }
    }
    menu->popup(event->globalPos());
}

void LineBox::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!cut_ && data && data->hasText() && Text().size() + data->text().size() > kMaxEditChars) {
        Replace(data->text());
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}

} // namespace ui
