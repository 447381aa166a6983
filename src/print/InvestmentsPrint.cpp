#include "print/InvestmentsPrint.h"

#include "print/PrintedPagesTitles.h"

namespace cv {

using C = PrintColumn;

const std::vector<PrintColumn> &InvestmentsPrint::columnTable()
{
    static const std::vector<PrintColumn> table{{C::L, 150}, {C::L, 30}, {C::L, 30}, {C::R, 60},
                                                {C::R, 60},  {C::R, 60}, {C::R, 60}, {C::R, 60},
                                                {C::R, 60},  {C::R, 60}, {C::R, 60}, {C::L, 150}};
    return table;
}

InvestmentsPrint::InvestmentsPrint(Callback callback, std::vector<InvestmentsPrintParam> rows, cv::PageSetup &setup)
    : ListPrint(std::move(callback), std::move(rows), setup, cv::PageSetup::Landscape,
                Shape{columnTable(), false, true, false})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Invest-Title")));
}

// Eleven titles for twelve columns: the last column has none.
QStringList InvestmentsPrint::headerTitles()
{
    return PrintedPagesTitles({"Report-Account", "Report-Invest-kind", "Report-Invest-prefix", "Report-Invest-units",
                               "Report-Invest-unitprice", "Report-Invest-invest", "Report-Invest-cost",
                               "Report-Invest-spent", "Report-Invest-market", "Report-Invest-value",
                               "Report-Invest-profit"});
}

} // namespace cv
