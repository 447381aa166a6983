#include "charts/CV4InfoSearchView.h"

#include "charts/CV4InfoViewTitles.h"

using C = CV4InfoColumn;

const std::vector<CV4InfoColumn> &CV4InfoSearchView::columnTable()
{
    static const std::vector<CV4InfoColumn> table{{C::L, 70}, {C::L, 110}, {C::L, 120}, {C::L, 120},
                                                  {C::R, 60}, {C::R, 60},  {C::L, 80},  {C::L, 160}};
    return table;
}

CV4InfoSearchView::CV4InfoSearchView(Callback callback, std::vector<CV4InfoSearchViewParam> rows, cv::PageSetup &setup)
    : CV4InfoListView(std::move(callback), std::move(rows), setup, cv::PageSetup::Landscape,
                      Shape{columnTable(), true, false, true})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Search-Title")));
}

QStringList CV4InfoSearchView::headerTitles()
{
    return CV4InfoViewTitles({"Report-Date", "Report-Search-Category", "Report-Account", "Report-Search-Destination",
                              "Report-Search-Income", "Report-Search-Expense", "Report-Group", "Report-Memo"});
}
