#pragma once
// Amounts take their print form while the scope lasts. Scopes nest: a chart
// page's own scope inside the chart sheet's run leaves the run's mode on.

#include "document/AmountText.h"
#include "document/ReadOnlyBook.h"

namespace cv {

class CurrencyPrintingScope {
public:
    explicit CurrencyPrintingScope(ReadOnlyBook &document) : m_document(document)
    {
        m_document.amountText().beginCurrencyPrinting();
    }
    ~CurrencyPrintingScope() { m_document.amountText().endCurrencyPrinting(); }
    CurrencyPrintingScope(const CurrencyPrintingScope &) = delete;
    CurrencyPrintingScope &operator=(const CurrencyPrintingScope &) = delete;

private:
    ReadOnlyBook &m_document;
};

} // namespace cv
