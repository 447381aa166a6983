#include "platform/widgets/LineEditCaretKeeping.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace cv {

TextSelection lineEditSelection(const QLineEdit *edit)
{
    if (!edit) return {};
    if (edit->hasSelectedText()) return {edit->selectionStart(), int(edit->selectedText().size())};
    return {edit->cursorPosition(), 0};
}

void setLineEditSelection(QLineEdit *edit, TextSelection selection)
{
    if (!edit) return;
    if (selection.length > 0)
        edit->setSelection(selection.location, selection.length);
    else
        edit->setCursorPosition(selection.location);
}

void fixCurrencySelection(QLineEdit *edit, const QString &oldText, TextSelection oldRange,
                          const QString &specialCharacters, bool fromBeginning)
{
    if (!edit) return;
    setLineEditSelection(edit, fixCurrencySelection(oldText, oldRange, specialCharacters, fromBeginning, edit->text(),
                                                    lineEditSelection(edit)));
}

void setStringWithAttributesOfOldString(QTextDocument *document, const QString &newText)
{
    if (!document) return;
    const QString oldText = document->toPlainText();
    const int p = commonPrefixLength(oldText, newText);
    if (p == 0) {
        document->setPlainText(newText);
        return;
    }
    QTextCursor cursor(document);
    // A cursor's format is that of the character before it: the one at p is read from p + 1.
    cursor.setPosition(p < oldText.size() ? p + 1 : p);
    const QTextCharFormat format = cursor.charFormat();
    cursor.setPosition(p);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(newText.mid(p), format);
}

} // namespace cv
