#pragma once
// The loan editor's small dialog for one extra repayment: its amount and
// date, whether it goes against the regular or the bonus payments, and
// whether it lowers the payments or shortens the term. Application-modal;
// exec() answers 1 for OK, 0 for Cancel.

#include "controls/DateReceiver.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QRadioButton;

namespace cv {

class CurrencyFormatter;

class ExtraPaymentDialog : public QDialog, public cv::DateReceiver {
    Q_OBJECT
public:
    ExtraPaymentDialog(const QDate &date, const CurrencyFormatter *formatter, QWidget *parent = nullptr);

    // None when the date field does not read as a date.
    std::optional<QDate> date() const;
    double amount() const;
    bool targetIsBonus() const;
    bool isCountReduction() const;

    // The calendar and the calculator post here.
    Q_INVOKABLE void performInputDate(const QDate &date) override;
    Q_INVOKABLE void performInputValue(const QString &value);

    QLineEdit *amountField() const { return m_amountField; }
    QLineEdit *dateField() const { return m_dateField; }
    QRadioButton *bonusTarget() const { return m_bonusTarget; }
    QRadioButton *shortenChoice() const { return m_shortenChoice; }

private:
    const CurrencyFormatter *m_formatter; // the loan's currency, owned by the loan editor
    QLineEdit *m_amountField = nullptr;
    QLineEdit *m_dateField = nullptr;
    QRadioButton *m_bonusTarget = nullptr;   // unchecked: against the regular payments
    QRadioButton *m_shortenChoice = nullptr; // unchecked: lower the payments
};

} // namespace cv
