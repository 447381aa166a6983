#include "controls/CurrencyFieldEditor.h"

#include "document/AmountText.h"
#include "platform/widgets/LineEditCaretKeeping.h"

#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

namespace cv {

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
    case Qt::Key_Down: return true;
    default: return false;
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
        if (auto *edit = qobject_cast<QLineEdit *>(watched)) return keyDown(edit, static_cast<QKeyEvent *>(event));
    }
    if (event->type() == QEvent::InputMethod && !m_typing) {
        // What an input method commits is typing too, often in full width.
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && !static_cast<QInputMethodEvent *>(event)->commitString().isEmpty()) return commitInput(edit, event);
    }
    if (event->type() == QEvent::ContextMenu) {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && !edit->isReadOnly()) return showContextMenu(edit, static_cast<QContextMenuEvent *>(event));
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

bool CurrencyFieldEditor::commitInput(QLineEdit *edit, QEvent *event)
{
    const QString oldText = edit->text();
    const cv::TextSelection oldRange = cv::lineEditSelection(edit);
    m_typing = true;
    QCoreApplication::sendEvent(edit, event);
    m_typing = false;
    afterEdit(edit, oldText, oldRange, false);
    return true;
}

bool CurrencyFieldEditor::keyDown(QLineEdit *edit, QKeyEvent *event)
{
    if (!edit || !event || passesThrough(event->key())) return false;
    CurrencyFieldOwner *owner = ownerOf(edit);
    const cv::AmountText *amounts = owner ? owner->amountText() : nullptr;
    if (!amounts || edit->isReadOnly()) return false;
    const int currency = owner->currencyOfField(edit);

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
    // Undo brings back a text exactly as it was.
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) return true;
    afterEdit(edit, oldText, oldRange, event->matches(QKeySequence::Paste));
    return true;
}

void CurrencyFieldEditor::paste(QLineEdit *edit)
{
    if (!edit || edit->isReadOnly()) return;
    const QString oldText = edit->text();
    const cv::TextSelection oldRange = cv::lineEditSelection(edit);
    edit->paste();
    afterEdit(edit, oldText, oldRange, true);
}

void CurrencyFieldEditor::afterEdit(QLineEdit *edit, const QString &oldText, cv::TextSelection oldRange, bool pasted)
{
    CurrencyFieldOwner *owner = ownerOf(edit);
    const cv::AmountText *amounts = owner ? owner->amountText() : nullptr;
    const QString typed = edit->text();
    if (!amounts || typed == oldText) return;
    const int currency = owner->currencyOfField(edit);

    const std::optional<double> value = amounts->numberForString(typed, currency);
    if (!value) {
        // Typing may pass through text that is no amount yet; pasting may not.
        if (pasted) {
            replaceText(edit, oldText);
            cv::setLineEditSelection(edit, oldRange);
        }
        return;
    }
    // "-" then "0" is the start of a negative amount.
    if (*value == 0 && cv::AmountText::hasMinusSign(typed)) return;

    const CurrencyPtr c = amounts->findCurrency(currency);
    const bool cents = c && c->fraction() == 2;
    QString separator;
    QString newText;
    if (cents) {
        separator = amounts->formatterForCurrency(currency).decimalSeparator();
        const int point = int(typed.indexOf(separator));
        // The user is typing the fraction.
        if (point >= 0 && edit->cursorPosition() > point) return;
        newText = amounts->stringForValue(*value, currency, true);
    } else {
        newText = amounts->stringForValue(*value, currency);
    }
    if (newText == typed) return;
    replaceText(edit, newText);
    cv::fixCurrencySelection(edit, oldText, oldRange, separator);
}

bool CurrencyFieldEditor::showContextMenu(QLineEdit *edit, QContextMenuEvent *event)
{
    QMenu *menu = edit->createStandardContextMenu();
    if (!menu) return false;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The standard menu names no actions; its paste item carries the paste shortcut.
    const QString shortcut = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction *action : menu->actions()) {
        if (shortcut.isEmpty() || !action->text().endsWith(u'\t' + shortcut)) continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QPointer<QLineEdit> target = edit;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target) paste(target);
        });
    }
    menu->popup(event->globalPos());
    return true;
}

} // namespace cv
