#pragma once
// The one editor of every editing table's cells: a frameless QLineEdit
// placed over the edited cell's text. It decides which keys are table
// commands, filters typing in amount cells, and in chooser cells (button
// mode) turns a typed key or Down into a request to open the chooser.

#include "controls/PreparedCell.h"
#include "controls/TableClient.h"
#include "platform/CaretKeeping.h"

#include <QLineEdit>
#include <QPointer>

#include <optional>

namespace cv {

class EditingTable;

class DateCellCalendar;

class PopupFieldEditor : public QLineEdit {
    Q_OBJECT

public:
    // Prepares the editor for a cell of view: clears undo, forgets the
    // modification, reads the amount's currency and sign from the owner.
    void willEditCell(const cv::PreparedCell &cell, EditingTable *view);
    // Enters button mode: typing asks the table's owner for the chooser.
    void beginPopupEditForTableView(EditingTable *view);
    // Asks the owner to open the chooser of the remembered cell.
    void edit();
    // Leaves button mode.
    void endPopupEdit();
    // A click outside the editor and its popups: closes the chooser and ends
    // editing, storing what was typed. Sent by the popup tracker.
    void clickedOutside();
    void clearEditingView();

    bool isModified() const { return m_modified; }
    // The text was refused: the editor turns red, and the reason shows as its
    // tooltip and in the window's status bar until the text changes.
    void markRefused(const QString &why);
    QString refusal() const { return m_refusal; }
    // The text reached the owner; ending the edit need not store it again.
    void markStored() { m_modified = false; }
    bool lastCurrencyValueWasNegative() const { return m_lastCurrencyValueWasNegative; }
    // The text as the owner stores it: a minus typed into an amount, which
    // the editor shows as colour only, leads it.
    QString enteredText() const;
    bool isEditingNormalText() const;
    const cv::PreparedCell &cell() const { return m_cell; }
    EditingTable *editingView() const;
    int row() const { return m_row; }
    int column() const { return m_column; }
    bool isAmountCell() const { return m_currency.has_value(); }
    bool hasPreedit() const { return !m_preedit.isEmpty(); }
    void selectText() { selectAll(); }

    // Whether the input method starts on for the next cell; amount and date
    // cells always prefer Latin input.
    void setTextInputOn(bool on);

    // The popup calendar for date cells; null (the default) is the
    // process's month calendar.
    void setDateCellCalendar(cv::DateCellCalendar *calendar) { m_calendar = calendar; }
    cv::DateCellCalendar *dateCellCalendar() const;
    // Toggles the calendar for the cell frame of view (Down, or the button).
    void openCalendar(EditingTable *view, const QRect &cellFrame);

    // The client the editor answers to while a chooser edit is possible.
    cv::TableClient *controller() const;

    // Made parentless on first use, deleted when the application quits.
    friend PopupFieldEditor *GetPopupFieldEditor();
    // The shared editor when it exists; never makes one (for teardown paths).
    PopupFieldEditor *ExistingPopupFieldEditor();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    PopupFieldEditor();
    bool isCommandKey(int key) const;
    cv::TableClient *viewClient() const;
    // Typing into a cell of a table; false when the key is not one to type here.
    bool typeKey(QKeyEvent *event);
    bool typeAmountCharacter(QChar c);
    void afterTyping(const QString &oldText, cv::TextSelection oldSelection);
    void colourAmount();
    void applyInputHints();
    // The text reads again or the edit went: the red mark, the tooltip and
    // the status bar's reason go.
    void clearRefusal();

    QPointer<EditingTable> m_editingView; // the table being edited
    QPointer<QObject> m_controller;       // the owner (or its table) in button mode
    cv::PreparedCell m_cell;
    std::optional<cv::CellCurrency> m_currency; // set for amount cells
    cv::DateCellCalendar *m_calendar = nullptr; // a replacement (tests); lives for the run
    QString m_preedit;
    QString m_refusal; // why the text was refused; empty: not refused
    QPointer<QWidget> m_refusalWindow; // the window whose status bar shows the reason
    int m_row = -1;
    int m_column = -1;
    bool m_modified = false;
    bool m_lastCurrencyValueWasNegative = false;
    bool m_textInputOn = false;
};

PopupFieldEditor *GetPopupFieldEditor();
// The shared editor when it exists; never makes one (for teardown paths).
PopupFieldEditor *ExistingPopupFieldEditor();

} // namespace cv
