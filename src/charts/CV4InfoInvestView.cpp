#include "charts/CV4InfoInvestView.h"

#include "charts/CV4InfoViewTitles.h"

using C = CV4InfoColumn;

const std::vector<CV4InfoColumn> &CV4InfoInvestView::columnTable()
{
    static const std::vector<CV4InfoColumn> table{{C::L, 150}, {C::L, 30}, {C::L, 30}, {C::R, 60},
                                                  {C::R, 60},  {C::R, 60}, {C::R, 60}, {C::R, 60},
                                                  {C::R, 60},  {C::R, 60}, {C::R, 60}, {C::L, 150}};
    return table;
}

CV4InfoInvestView::CV4InfoInvestView(Callback callback, std::vector<CV4InfoInvestViewParam> rows, cv::PageSetup &setup)
    : CV4InfoListView(std::move(callback), std::move(rows), setup, cv::PageSetup::Landscape,
                      Shape{columnTable(), false, true, false})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Invest-Title")));
}

// Eleven titles for twelve columns: the last column has none.
QStringList CV4InfoInvestView::headerTitles()
{
    return CV4InfoViewTitles({"Report-Account", "Report-Invest-kind", "Report-Invest-prefix", "Report-Invest-units",
                              "Report-Invest-unitprice", "Report-Invest-invest", "Report-Invest-cost",
                              "Report-Invest-spent", "Report-Invest-market", "Report-Invest-value",
                              "Report-Invest-profit"});
}
