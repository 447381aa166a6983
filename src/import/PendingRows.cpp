#include "import/PendingRows.h"

#include "document/Book.h"
#include "platform/Assert.h"

#include <cmath>

namespace cv {

namespace {

int digitsOfCurrency(const Book &document, int currency)
{
    const CurrencyPtr found = document.findCurrency(document.getCurrency(currency));
    return found ? found->fraction() : 0;
}

double roundedTo(double value, int digits)
{
    const double scale = std::pow(10.0, digits);
    return std::round(value * scale) / scale;
}

} // namespace

void storePendingRow(Book &document, const EntryPtr &row)
{
    CV_ASSERT_OR(row, return );
    row->setIdent(-1);
    row->setFlags(0);
    switch (row->kind()) {
    case cv::EntryKind::Income: document.updateIncome(row, nullptr); break;
    case cv::EntryKind::Expense: document.updateExpense(row, nullptr); break;
    case cv::EntryKind::Transfer:
        document.fixupTransferCategory(*row);
        document.updateTransfer(row, nullptr);
        break;
    default: Q_ASSERT(false); break;
    }
}

double roundedForAccount(const Book &document, double amount, int account)
{
    const int digits = digitsOfCurrency(document, document.currencyOfAccount(account));
    return Book::numberForRoundString(QString::number(amount, 'f', 9), digits);
}

void convertPendingTransfer(const Book &document, Entry &row, int known)
{
    if (row.kind() != cv::EntryKind::Transfer || row.converted() != 0 ||
        !document.accountNeedsExchange(row.account(), row.destination()))
        return;
    const int source = document.currencyOfAccount(row.account());
    const int destination = document.currencyOfAccount(row.destination());
    if (known == row.account()) {
        row.setConverted(roundedTo(document.convert(destination, row.amount(), source, row.date()),
                                   digitsOfCurrency(document, destination)));
    } else {
        row.setConverted(row.amount());
        row.setAmount(roundedTo(document.convert(source, row.amount(), destination, row.date()),
                                digitsOfCurrency(document, source)));
    }
}

} // namespace cv
