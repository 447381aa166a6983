#include "controls/CurrencyFieldEditor.h"

#include "document/AmountText.h"
#include "platform/widgets/LineEditCaretKeeping.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// Replaces the whole text as one edit, so that undo brings back what was typed.
void replaceText(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    edit->insert(text);
}

bool passesThrough(int key)
{
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

CurrencyFieldEditor *GetCurrencyFieldEditor()
{
    static CurrencyFieldEditor *editor = new CurrencyFieldEditor;
    return editor;
}

void CurrencyFieldEditor::attach(QLineEdit *edit)
{
    if (!edit) return;
    edit->installEventFilter(this);
    // Amounts are typed in Latin digits; the user's input method stays theirs.
    edit->setInputMethodHints(edit->inputMethodHints() | Qt::ImhPreferLatin);
}

void CurrencyFieldEditor::detach(QLineEdit *edit)
{
    if (edit) edit->removeEventFilter(this);
}

CurrencyFieldOwner *CurrencyFieldEditor::ownerOf(QLineEdit *edit)
{
    for (QWidget *w = edit; w; w = w->parentWidget()) {
        if (auto *owner = dynamic_cast<CurrencyFieldOwner *>(w)) return owner;
    }
    return nullptr;
}

bool CurrencyFieldEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !m_typing) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            return keyDown(edit, static_cast<QKeyEvent *>(event));
    }
    return QObject::eventFilter(watched, event);
}

bool CurrencyFieldEditor::typeKey(QLineEdit *edit, QKeyEvent *event)
{
    m_typing = true;
    QCoreApplication::sendEvent(edit, event);
    m_typing = false;
    return true;
}

bool CurrencyFieldEditor::keyDown(QLineEdit *edit, QKeyEvent *event)
{
    if (!edit || !event || passesThrough(event->key())) return false;
    CurrencyFieldOwner *owner = ownerOf(edit);
    const cv::AmountText *amounts = owner ? owner->amountText() : nullptr;
    if (!amounts || edit->isReadOnly()) return false;
    const int currency = owner->currency();

    const bool plainKey = !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier));
    if (plainKey && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        const int key = event->key() == Qt::Key_Backspace ? cv::kBackwardDeleteKey : cv::kForwardDeleteKey;
        if (const auto edited = amounts->handleDeleteKey(edit->text(), cv::lineEditSelection(edit), key, currency)) {
            if (edited->text != edit->text()) replaceText(edit, edited->text);
            cv::setLineEditSelection(edit, edited->selection);
            return true;
        }
    }

    const QString oldText = edit->text();
    const cv::TextSelection oldRange = cv::lineEditSelection(edit);
    typeKey(edit, event);
    const QString typed = edit->text();
    if (typed == oldText) return true;
    // Undo brings back a text exactly as it was.
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) return true;

    const std::optional<double> value = amounts->numberForString(typed, currency);
    if (!value) {
        // Typing may pass through text that is no amount yet; pasting may not.
        if (event->matches(QKeySequence::Paste) && !typed.trimmed().isEmpty()) {
            replaceText(edit, oldText);
            cv::setLineEditSelection(edit, oldRange);
        }
        return true;
    }
    // "-" then "0" is the start of a negative amount.
    if (*value == 0 && typed.contains(u'-')) return true;

    const CV4CurrencyPtr c = amounts->findCurrency(currency);
    const bool cents = c && c->fraction() == 2;
    QString separator;
    QString newText;
    if (cents) {
        separator = amounts->formatterForCurrency(currency).decimalSeparator();
        const int point = int(typed.indexOf(separator));
        // The user is typing the fraction.
        if (point >= 0 && edit->cursorPosition() > point) return true;
        newText = amounts->stringForValue(*value, currency, true);
    } else {
        newText = amounts->stringForValue(*value, currency);
    }
    if (newText == typed) return true;
    replaceText(edit, newText);
    cv::fixCurrencySelection(edit, oldText, oldRange, separator);
    return true;
}
