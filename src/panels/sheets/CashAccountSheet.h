#pragma once
// The sheet of a cash-like account (cash 30, investment 32, other asset 33)
// or of an other debt (42): name, currency, start date, opening balance and
// memo; the detail record is a AccountDetail. The fixed cash account (ident
// 10) keeps its currency. A stored account without a detail record starts
// with no start date: typing an opening balance enables it with today,
// clearing the balance disables it again, and a disabled date stores none.

#include "panels/sheets/AccountSheet.h"

class QLabel;

namespace cv {

class DateField;

class CashAccountSheet : public cv::AccountSheet {
    Q_OBJECT
public:
    static constexpr int kFixedCashAccount = 10;

    CashAccountSheet(Book *document, NodePtr account, QWidget *parent = nullptr);

    // Opens the sheet on `parent`; `done(code, sheet)` runs when it ends.
    static CashAccountSheet *openCashAccountSheet(Book *document, const NodePtr &account, QWidget *parent,
                                                  std::function<void(int, CashAccountSheet *)> done);

    QLabel *titleField() const { return m_titleField; }
    cv::DateField *dateField() const { return m_dateField; }
    QLineEdit *valueField() const { return m_valueField; }
    bool isDateEnabled() const { return m_dateEnabled; }

    // The start date; none while disabled or unreadable.
    std::optional<QDate> getDate() const;
    void setDate(const QDate &date);
    // A date from the calendar goes into the start date.
    Q_INVOKABLE void performInputDate(const QDate &date) override;
    // The calculator's value goes into the opening balance.
    Q_INVOKABLE void performInputValue(const QString &value);

protected:
    bool detailReady() const override;
    QString missingDetail() const override;
    void writeDetail() override;
    std::vector<QLineEdit *> amountFields() const override { return {m_valueField}; }
    bool currencyLocked() const override;
    bool asksDiscardForNewNode() const override { return true; }

private:
    void contentChanged(QObject *control);
    void setDateEnabled(bool enabled);

    QLabel *m_titleField; // children
    QLabel *m_dateFieldLabel;
    cv::DateField *m_dateField;
    QLineEdit *m_valueField;
    bool m_dateEnabled = true;
    bool m_followsValue = false; // a stored account without detail: the date follows the balance
};

} // namespace cv
