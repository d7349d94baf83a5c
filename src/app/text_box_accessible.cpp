#include "app/text_box_accessible.h"

#include "app/q_a_template_.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocumentFragment>

TextBoxAccessible::TextBoxAccessible(QPlainTextEdit* box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

QAccessibleInterface* TextBoxAccessible::create(const QString& className, QObject* object)
{
    auto* box = qobject_cast<QPlainTextEdit*>(object);
    if (className != u"QPlainTextEdit" || box == nullptr ||
        qobject_cast<q_a_template_*>(box->parent()) == nullptr) {
        return nullptr;
    }
    return new TextBoxAccessible(box);
}

QPlainTextEdit* TextBoxAccessible::box() const
{
    return static_cast<QPlainTextEdit*>(widget());
}

QTextCursor TextBoxAccessible::cursorAt(int offset) const
{
    QTextCursor cursor(box()->document());
    cursor.setPosition(qBound(0, offset, characterCount()));
    return cursor;
}

QTextCursor TextBoxAccessible::selected(int startOffset, int endOffset) const
{
    QTextCursor cursor = cursorAt(startOffset);
    cursor.setPosition(qBound(0, endOffset, characterCount()), QTextCursor::KeepAnchor);
    return cursor;
}

void* TextBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    if (type == QAccessible::EditableTextInterface) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.selectableText = true;
    state.multiLine = true;
    state.readOnly = box()->isReadOnly();
    state.editable = !box()->isReadOnly();
    return state;
}

QString TextBoxAccessible::text(QAccessible::Text kind) const
{
    return kind == QAccessible::Value ? box()->toPlainText() : QAccessibleWidget::text(kind);
}

void TextBoxAccessible::setText(QAccessible::Text kind, const QString& text)
{
    if (kind != QAccessible::Value) {
        QAccessibleWidget::setText(kind, text);
    } else if (!box()->isReadOnly()) {
        box()->setPlainText(text);
    }
}

void TextBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    const QTextCursor cursor = box()->textCursor();
    const bool one = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = one ? cursor.selectionStart() : 0;
    *endOffset = one ? cursor.selectionEnd() : 0;
}

int TextBoxAccessible::selectionCount() const
{
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void TextBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        QTextCursor cursor = box()->textCursor();
        cursor.clearSelection();
        box()->setTextCursor(cursor);
    }
}

void TextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        box()->setTextCursor(selected(startOffset, endOffset));
    }
}

int TextBoxAccessible::cursorPosition() const
{
    return box()->textCursor().position();
}

void TextBoxAccessible::setCursorPosition(int position)
{
    box()->setTextCursor(cursorAt(position));
}

// As Qt's own tells it: line breaks as LF, a no-break space as a blank, one
// character for one, so the offsets stay the box's.
QString TextBoxAccessible::text(int startOffset, int endOffset) const
{
    return selected(startOffset, endOffset).selection().toPlainText();
}

QString TextBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    const auto [start, end] =
        QAccessible::qAccessibleTextBoundaryHelper(cursorAt(offset), boundaryType);
    if (start == 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textAtOffset(start - 1, boundaryType, startOffset, endOffset);
}

QString TextBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const
{
    const auto [start, end] =
        QAccessible::qAccessibleTextBoundaryHelper(cursorAt(offset), boundaryType);
    if (end >= characterCount()) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textAtOffset(end, boundaryType, startOffset, endOffset);
}

// Lines are the lines the box shows, wrapped at its width.
QString TextBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const
{
    const auto [start, end] =
        QAccessible::qAccessibleTextBoundaryHelper(cursorAt(offset), boundaryType);
    *startOffset = start;
    *endOffset = end;
    return text(start, end);
}

int TextBoxAccessible::characterCount() const
{
    return box()->document()->characterCount() - 1;
}

QRect TextBoxAccessible::drawnAt(int offset) const
{
    const QTextCursor at = cursorAt(offset);
    const QRect caret = box()->cursorRect(at);
    const QRect next = box()->cursorRect(cursorAt(offset + 1));
    // The next character on the same line starts where this one ends; at the
    // end of a line the character is as wide as the font makes it.
    const int width = next.top() == caret.top() && next.left() > caret.left()
                          ? next.left() - caret.left()
                          : box()->fontMetrics().horizontalAdvance(text(offset, offset + 1));
    return {caret.left(), caret.top(), width, caret.height()};
}

QRect TextBoxAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount()) {
        return {};
    }
    const QRect drawn = drawnAt(offset);
    return drawn.translated(box()->viewport()->mapToGlobal(QPoint(0, 0)));
}

int TextBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint at = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(at)) {
        return -1;
    }
    // The nearest place between characters: the character at the point is the
    // one before it when the point lies in that one's right half.
    const int nearest = box()->cursorForPosition(at).position();
    if (nearest > 0 && drawnAt(nearest - 1).contains(at)) {
        return nearest - 1;
    }
    return nearest;
}

void TextBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->setTextCursor(cursorAt(endIndex));
    box()->setTextCursor(cursorAt(startIndex));
}

// The box has one font and one colour throughout: its whole text is one run.
QString TextBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    if (offset < -2 || offset > characterCount()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    *startOffset = 0;
    *endOffset = characterCount();
    const QFont font = box()->font();
    QString family = font.family();
    for (const QChar special : {u'\\', u':', u',', u'=', u';', u'"'}) {
        family.replace(special, QStringLiteral("\\") + special);
    }
    return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;font-style:%4;"
                          "text-position:baseline;")
        .arg(family)
        .arg(qRound(font.pointSizeF()))
        .arg(font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"))
        .arg(font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"));
}

void TextBoxAccessible::deleteText(int startOffset, int endOffset)
{
    selected(startOffset, endOffset).removeSelectedText();
}

void TextBoxAccessible::insertText(int offset, const QString& text)
{
    cursorAt(offset).insertText(text);
}

void TextBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    selected(startOffset, endOffset).insertText(text);
}
