#include "charts/CV4InfoBrandView.h"

#include "charts/CV4InfoViewTitles.h"

using C = CV4InfoColumn;

const std::vector<CV4InfoColumn> &CV4InfoBrandView::columnTable()
{
    // The kind column holds "投資信託" at the report font; the risk column gives up the room.
    static const std::vector<CV4InfoColumn> table{{C::L, 60}, {C::L, 150}, {C::L, 40},
                                                  {C::L, 40}, {C::R, 60},  {C::L, 130}};
    return table;
}

CV4InfoBrandView::CV4InfoBrandView(Callback callback, std::vector<CV4InfoBrandViewParam> rows, cv::PageSetup &setup)
    : CV4InfoListView(std::move(callback), std::move(rows), setup, cv::PageSetup::Portrait,
                      Shape{columnTable(), true, false, true})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Brand-Title")));
}

// Five titles for six columns: the last column has none.
QStringList CV4InfoBrandView::headerTitles()
{
    return CV4InfoViewTitles(
        {"Report-Brand-Kind", "Report-Brand-Name", "Report-Brand-Code", "Report-Currency-Prefix", "Report-Invest-market"});
}
