#pragma once
// Live regrouping of amounts typed into single fields: the one shared editor
// watches every amount QLineEdit it is attached to, keeps the currency's
// grouping and decimals while the user types, and keeps the caret after the
// digit just typed.

#include "platform/CaretKeeping.h"

#include <QObject>
#include <QString>

class QContextMenuEvent;
class QKeyEvent;
class QLineEdit;

namespace cv {

class AmountText;

// What an amount field asks of the window (or any widget above it) that holds it.
class CurrencyFieldOwner {
public:
    virtual ~CurrencyFieldOwner() = default;
    // The document's amounts; null leaves typing alone.
    virtual const cv::AmountText *amountText() const = 0;
    // The ident of the field's currency.
    virtual int currency() const = 0;
    // A window whose fields hold amounts of several currencies names each one's.
    virtual int currencyOfField(const QLineEdit *edit) const
    {
        Q_UNUSED(edit);
        return currency();
    }
};

class CurrencyFieldEditor : public QObject {
    Q_OBJECT

public:
    void attach(QLineEdit *edit);
    void detach(QLineEdit *edit);

    // Handles one key for the field; true when the key was used up here.
    bool keyDown(QLineEdit *edit, QKeyEvent *event);
    // Pastes the clipboard unless the result would be no amount.
    void paste(QLineEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static CurrencyFieldOwner *ownerOf(QLineEdit *edit);
    bool typeKey(QLineEdit *edit, QKeyEvent *event);
    bool commitInput(QLineEdit *edit, QEvent *event);
    bool showContextMenu(QLineEdit *edit, QContextMenuEvent *event);
    // Regroups the edited text; a paste that is no amount goes back to oldText.
    void afterEdit(QLineEdit *edit, const QString &oldText, cv::TextSelection oldRange, bool pasted);

    bool m_typing = false;
};

// The shared amount field editor, made on first use.
CurrencyFieldEditor *GetCurrencyFieldEditor();

} // namespace cv
