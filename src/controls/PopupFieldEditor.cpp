#include "controls/PopupFieldEditor.h"

#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/DateCellCalendar.h"
#include "controls/CalendarPopup.h"
#include "controls/StyledText.h"
#include "controls/TableModelAdapter.h"
#include "document/AmountText.h"
#include "platform/DateFormat.h"
#include "platform/widgets/ReportTextStyles.h"
#include "platform/widgets/LineEditCaretKeeping.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QStatusTipEvent>
#include <QToolTip>

namespace cv {

namespace {

Q_LOGGING_CATEGORY(lcTable, "corvane.controls.table")

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_unknown: return true;
    default: return false;
    }
}

} // namespace

namespace {

QPointer<PopupFieldEditor> &sharedEditor()
{
    static QPointer<PopupFieldEditor> editor;
    return editor;
}

} // namespace

PopupFieldEditor *ExistingPopupFieldEditor()
{
    return sharedEditor();
}

PopupFieldEditor *GetPopupFieldEditor()
{
    QPointer<PopupFieldEditor> &editor = sharedEditor();
    if (!editor) {
        editor = new PopupFieldEditor;
        if (auto *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, editor.data(), &QObject::deleteLater);
    }
    return editor;
}

PopupFieldEditor::PopupFieldEditor()
{
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this] { m_modified = true; });
}

cv::TableClient *PopupFieldEditor::viewClient() const
{
    return m_editingView ? m_editingView->client() : nullptr;
}

cv::TableClient *PopupFieldEditor::controller() const
{
    if (!m_controller) return nullptr;
    if (auto *table = qobject_cast<EditingTable *>(m_controller.data())) return table->client();
    return dynamic_cast<cv::TableClient *>(m_controller.data());
}

bool PopupFieldEditor::isEditingNormalText() const
{
    return !m_controller || !m_cell.hasButtons() || m_cell.kind != cv::CellKind::Chooser;
}

void PopupFieldEditor::willEditCell(const cv::PreparedCell &cell, EditingTable *view)
{
    {
        // Setting the text starts a fresh undo history: undo never reaches
        // into another cell.
        const QSignalBlocker blocker(this);
        setText(text());
    }
    m_cell = cell;
    m_modified = false;
    clearRefusal();
    setToolTip(QString());
    m_currency.reset();
    m_lastCurrencyValueWasNegative = false;
    m_editingView = view;
    if (view) {
        m_column = view->isEditing() ? view->editedColumn() : m_column;
        m_row = view->editedRow();
        if (cv::TableClient *owner = view->client()) {
            const int cid = view->cidOfColumn(m_column);
            m_currency = owner->currencyForColumn(cid, m_row);
            if (m_currency) {
                const QVariant value = owner->objectValue(view, cid, m_row);
                if (value.metaType() == QMetaType::fromType<cv::StyledText>()) {
                    const cv::StyledText styled = value.value<cv::StyledText>();
                    // The owner's flag decides; the colour only when it is silent.
                    m_lastCurrencyValueWasNegative =
                        styled.negative.value_or(styled.color.isValid() && styled.color == cv::negativeColor());
                }
            }
        }
    }
    colourAmount();
    applyInputHints();
}

QString PopupFieldEditor::enteredText() const
{
    const QString typed = text();
    if (!m_currency || !m_lastCurrencyValueWasNegative || typed.trimmed().isEmpty()) return typed;
    const QString plain = typed.normalized(QString::NormalizationForm_KC);
    if (plain.contains(u'-') || plain.contains(QChar(0x2212))) return typed;
    return QLatin1Char('-') + typed;
}

void PopupFieldEditor::beginPopupEditForTableView(EditingTable *view)
{
    cv::TableClient *owner = view ? view->client() : nullptr;
    QObject *object = dynamic_cast<QObject *>(owner);
    m_controller = object ? object : static_cast<QObject *>(view);
    setCursor(Qt::PointingHandCursor);
    if (view) {
        m_column = view->editedColumn();
        m_row = view->editedRow();
    }
}

void PopupFieldEditor::edit()
{
    if (m_column < 0 || m_row < 0) {
        qCWarning(lcTable) << "Cannot edit negative row/column";
        return;
    }
    if (cv::TableClient *owner = controller()) owner->editColumn(m_column, m_row, this);
}

void PopupFieldEditor::endPopupEdit()
{
    m_controller = nullptr;
    unsetCursor();
}

void PopupFieldEditor::clickedOutside()
{
    // A pick still blinking is delivered before the edit ends.
    if (cv::ChooserPopup *chooser = cv::ChooserPopup::existing()) chooser->mustClose();
    endPopupEdit();
    if (m_editingView) m_editingView->forceEndFieldEditing(true);
}

void PopupFieldEditor::clearEditingView()
{
    m_editingView = nullptr;
    clearRefusal();
}

void PopupFieldEditor::setTextInputOn(bool on)
{
    m_textInputOn = on;
    applyInputHints();
}

void PopupFieldEditor::applyInputHints()
{
    // Hints only: nothing switches the user's input method behind their back.
    const bool latin = m_currency || m_cell.kind == cv::CellKind::Date || !m_textInputOn;
    Qt::InputMethodHints hints = latin ? Qt::ImhPreferLatin : Qt::ImhNone;
    if (m_currency) hints |= Qt::ImhFormattedNumbersOnly;
    setInputMethodHints(hints);
}

void PopupFieldEditor::colourAmount()
{
    QPalette pal = palette();
    const QColor text = QApplication::palette().color(QPalette::Active, QPalette::Text);
    const QColor color = m_currency && m_lastCurrencyValueWasNegative ? cv::negativeColor() : text;
    const QColor base =
        m_refusal.isEmpty() ? QApplication::palette().color(QPalette::Active, QPalette::Base) : QColor(255, 220, 220);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Text, color);
        pal.setColor(group, QPalette::Base, base);
    }
    setPalette(pal);
}

void PopupFieldEditor::markRefused(const QString &why)
{
    m_refusal = why;
    setToolTip(why);
    colourAmount();
    // A beep alone says nothing on a silent machine.
    QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
    m_refusalWindow = window();
    QStatusTipEvent tip(why);
    QCoreApplication::sendEvent(m_refusalWindow, &tip);
}

void PopupFieldEditor::clearRefusal()
{
    if (m_refusal.isEmpty()) return;
    m_refusal.clear();
    setToolTip(QString());
    QToolTip::hideText();
    colourAmount();
    if (m_refusalWindow) {
        QStatusTipEvent tip{QString()};
        QCoreApplication::sendEvent(m_refusalWindow, &tip);
    }
    m_refusalWindow = nullptr;
}

void PopupFieldEditor::openCalendar(EditingTable *view, const QRect &cellFrame)
{
    cv::DateCellCalendar *calendar = dateCellCalendar();
    if (!view || !calendar) return;
    QDate date;
    if (view->isEditing()) {
        if (cv::TableClient *owner = view->client()) {
            const QVariant value = owner->objectValue(view, view->cidOfColumn(view->editedColumn()), view->editedRow());
            date = value.metaType().id() == QMetaType::QDate ? value.toDate()
                                                             : cv::parseDate(cv::cellText(value, owner->dateFormat()),
                                                                             owner->dateFormat(), QDate::currentDate())
                                                                   .value_or(QDate());
        }
    }
    if (!date.isValid()) date = QDate::currentDate();
    calendar->toggleForTable(cellFrame.topLeft(), view, date);
}

cv::DateCellCalendar *PopupFieldEditor::dateCellCalendar() const
{
    return m_calendar ? m_calendar : cv::CalendarPopup::get();
}

bool PopupFieldEditor::isCommandKey(int key) const
{
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    case Qt::Key_Left:
    case Qt::Key_Right: return !isEditingNormalText();
    default: return false;
    }
}

bool PopupFieldEditor::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // No shortcut may take a table command (Ctrl+Return, Ctrl+Up/Down).
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_editingView && isCommandKey(key->key())) {
            event->accept();
            return true;
        }
        // A chooser cell types nothing: Ctrl+Z and the other window
        // shortcuts stay the window's.
        if (m_editingView && !isEditingNormalText() && (key->modifiers() & Qt::ControlModifier)) {
            event->ignore();
            return false;
        }
        // Undo takes back the typing first, then the panel's last step (the window's Edit > Undo).
        const bool undo = key->matches(QKeySequence::Undo);
        if (m_editingView && (undo || key->matches(QKeySequence::Redo)) &&
            !(undo ? isUndoAvailable() : isRedoAvailable())) {
            event->ignore();
            return false;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        // Tab and Backtab are table commands, not focus moves.
        keyPressEvent(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void PopupFieldEditor::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (hasPreedit()) {
        // Keys belong to the input method while it composes.
        if (!isCommandKey(event->key())) QLineEdit::keyPressEvent(event);
        event->accept();
        return;
    }
    const int key = event->key() == Qt::Key_Enter ? Qt::Key_Return : event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool command = modifiers & Qt::ControlModifier;
    bool commandKey = isCommandKey(key);

    if (m_cell.kind == cv::CellKind::Date && key == Qt::Key_Down && !shift && !command) {
        if (m_editingView)
            openCalendar(m_editingView,
                         m_editingView->cellFrame(m_editingView->editedColumn(), m_editingView->editedRow()));
        commandKey = true;
    } else if (!isEditingNormalText()) {
        if (key == Qt::Key_Down && !shift) {
            edit();
            return;
        }
        if (!commandKey) {
            if (!isModifierKey(key) && !command) edit();
            return;
        }
    }
    if (commandKey) {
        if (m_editingView)
            m_editingView->cellCommandKeyDown(event, this);
        else
            QLineEdit::keyPressEvent(event);
        return;
    }
    if (!typeKey(event)) QLineEdit::keyPressEvent(event);
}

bool PopupFieldEditor::typeKey(QKeyEvent *event)
{
    EditingTable *view = m_editingView;
    cv::TableClient *owner = viewClient();
    const int key = event->key();
    if (!view || !owner || m_row < 0 || m_column < 0 || key == Qt::Key_Left || key == Qt::Key_Right) return false;
    const int cid = view->cidOfColumn(m_column);
    const QString oldText = text();
    const cv::TextSelection oldSelection = cv::lineEditSelection(this);

    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        const int k = key == Qt::Key_Backspace ? cv::kBackwardDeleteKey : cv::kForwardDeleteKey;
        if (owner->handleDeleteKey(k, this, cid, m_row)) {
            m_modified = true;
            return true;
        }
        if (m_currency) {
            if (const cv::AmountText *amounts = owner->amountText()) {
                if (const auto edited = amounts->handleDeleteKey(oldText, oldSelection, k, m_currency->currency)) {
                    setText(edited->text);
                    cv::setLineEditSelection(this, edited->selection);
                    m_modified = true;
                    return true;
                }
            }
        }
        QLineEdit::keyPressEvent(event);
        afterTyping(oldText, oldSelection);
        return true;
    }

    if (m_currency && event->matches(QKeySequence::Paste)) {
        // A paste that would leave no amount is refused.
        QLineEdit::keyPressEvent(event);
        const cv::AmountText *amounts = owner->amountText();
        if (amounts && !amounts->numberForString(text(), m_currency->currency)) {
            setText(oldText);
            cv::setLineEditSelection(this, oldSelection);
            return true;
        }
        afterTyping(oldText, oldSelection);
        return true;
    }
    // Shortcuts (copy, undo) and keys without text are the line edit's.
    const QString typed = event->text();
    if (typed.size() != 1 || !typed.at(0).isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        QLineEdit::keyPressEvent(event);
        afterTyping(oldText, oldSelection);
        return true;
    }
    const QChar c = typed.at(0);
    if (m_currency && !typeAmountCharacter(c)) return true;
    if (owner->handleTypedCharacter(view, c, this, cid, m_row)) return true;
    insert(QString(c));
    m_modified = true;
    afterTyping(oldText, oldSelection);
    return true;
}

// false when the character is not typed into the amount.
bool PopupFieldEditor::typeAmountCharacter(QChar c)
{
    cv::TableClient *owner = viewClient();
    const int cid = m_editingView ? m_editingView->cidOfColumn(m_column) : -1;
    if (c == u'.') return m_currency->fractionLength > 0 && !text().contains(u'.');
    if (c == u'-') {
        if (owner && !owner->columnAllowsNegativeInput(cid, m_row)) return false;
        m_lastCurrencyValueWasNegative = !m_lastCurrencyValueWasNegative;
        m_modified = true;
        colourAmount();
        return false;
    }
    if (c.unicode() <= 255 && c.isDigit()) {
        // Past 15 digits a stored amount no longer keeps every digit typed.
        const QString kept = hasSelectedText() ? text().remove(selectionStart(), selectedText().size()) : text();
        QString digits;
        for (QChar d : kept)
            if (d.isDigit() && (d != u'0' || !digits.isEmpty())) digits += d;
        if (c == u'0' && digits.isEmpty()) return true;
        if (digits.size() < cv::AmountText::kMaxSignificantDigits) return true;
        QApplication::beep();
        return false;
    }
    // Anything else stays visible, so that storing refuses the text (a beep,
    // the cell stays in edit) instead of a different amount being kept.
    return c.isPrint() && !c.isSpace() && c != u',';
}

void PopupFieldEditor::afterTyping(const QString &oldText, cv::TextSelection oldSelection)
{
    const QString typed = text();
    if (typed == oldText) return;
    m_modified = true;
    clearRefusal();
    cv::TableClient *owner = viewClient();
    if (!owner || !m_editingView) return;
    if (m_currency) {
        const auto proposed =
            owner->proposedString(this, oldText, oldSelection, typed, m_currency->currency, m_currency->fractionLength);
        if (proposed && *proposed != typed) {
            const cv::TextSelection typedSelection = cv::lineEditSelection(this);
            QString separator;
            if (const cv::AmountText *amounts = owner->amountText())
                separator = amounts->formatterForCurrency(m_currency->currency).decimalSeparator();
            setText(*proposed);
            cv::fixCurrencySelection(this, typed, typedSelection, separator);
        }
        colourAmount();
        return;
    }
    const int cid = m_editingView->cidOfColumn(m_column);
    if (const auto replaced = owner->typingChangedText(oldText, this, cid, m_row, typed);
        replaced && *replaced != typed)
        setText(*replaced);
}

void PopupFieldEditor::inputMethodEvent(QInputMethodEvent *event)
{
    m_preedit = event->preeditString();
    const QString commit = event->commitString();
    if (commit.isEmpty() || !m_currency) {
        const QString oldText = text();
        const cv::TextSelection oldSelection = cv::lineEditSelection(this);
        QLineEdit::inputMethodEvent(event);
        if (!commit.isEmpty()) afterTyping(oldText, oldSelection);
        return;
    }
    // A committed amount is typed character by character, full width folded.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&rest);
    for (QChar c : commit) {
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) c = QChar(c.unicode() - 0xFEE0);
        const QString oldText = text();
        const cv::TextSelection oldSelection = cv::lineEditSelection(this);
        if (!typeAmountCharacter(c)) continue;
        insert(QString(c));
        afterTyping(oldText, oldSelection);
    }
}

void PopupFieldEditor::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A chooser or calendar taking the focus, or the window going inactive,
    // does not end the edit; the table itself moves the edit on its own.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
    EditingTable *view = m_editingView;
    if (!view) return;
    QWidget *next = QApplication::focusWidget();
    if (next && (next == view || view->isAncestorOf(next))) return;
    view->textDidEndEditing();
}

void PopupFieldEditor::mousePressEvent(QMouseEvent *event)
{
    // In button mode a click on the text starts nothing: the button opens the chooser.
    if (!isEditingNormalText() || !m_editingView) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

EditingTable *PopupFieldEditor::editingView() const
{
    return m_editingView;
}

void PopupFieldEditor::contextMenuEvent(QContextMenuEvent *event)
{
    // The table's menu (its rows' commands), not the line edit's.
    if (!m_editingView) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    QWidget *viewport = m_editingView->viewport();
    QContextMenuEvent forwarded(event->reason(), mapTo(viewport, event->pos()), event->globalPos(), event->modifiers());
    QApplication::sendEvent(viewport, &forwarded);
}

} // namespace cv
