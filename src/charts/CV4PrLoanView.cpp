#include "charts/CV4PrLoanView.h"

#include "charts/CV4InfoViewTitles.h"

using C = CV4InfoColumn;

const std::vector<CV4InfoColumn> &CV4PrLoanView::columnTable()
{
    static const std::vector<CV4InfoColumn> table{{C::R, 30}, {C::L, 70}, {C::R, 50}, {C::R, 70},
                                                  {C::R, 60}, {C::R, 80}, {C::R, 90}, {C::L, 90}};
    return table;
}

CV4PrLoanView::CV4PrLoanView(Callback callback, std::vector<CV4PrLoanViewParam> rows, cv::PageSetup &setup)
    : CV4InfoListView(std::move(callback), std::move(rows), setup, -1, Shape{columnTable(), true, false, false})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Loan-Title")));
}

QStringList CV4PrLoanView::headerTitles()
{
    return CV4InfoViewTitles({"Report-Times", "Report-Date", "Report-Rate", "Report-Loan-Principal",
                              "Report-Loan-Interest", "Report-Loan-Total", "Report-Loan-Rest", "Report-Account"});
}
