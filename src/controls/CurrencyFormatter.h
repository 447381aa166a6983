#pragma once
// Shows and reads an amount of one currency the way its document does.

#include "document/AmountText.h"

#include <QString>

namespace cv {

class ReadOnlyBook;

class CurrencyFormatter {
public:
    // The document's amounts are not owned and must outlive the formatter.
    CurrencyFormatter(const cv::AmountText *doc, int currency) : m_doc(doc), m_currency(currency) {}
    CurrencyFormatter(const ReadOnlyBook *doc, int currency);

    void setCurrency(int currency) { m_currency = currency; }
    int currency() const { return m_currency; }
    const cv::AmountText *doc() const { return m_doc; }

    QString stringForObjectValue(double value) const;
    // Negative amounts in the negative colour.
    cv::AmountDisplay attributedStringForObjectValue(double value) const;
    // A text that is no amount gives 0; always succeeds, as a field's value
    // is always a number.
    bool getObjectValue(double &value, const QString &text) const;

private:
    const cv::AmountText *m_doc;
    int m_currency;
};

} // namespace cv
