#include "charts/CV4InfoCurrencyView.h"

#include "charts/CV4InfoViewTitles.h"

using C = CV4InfoColumn;

const std::vector<CV4InfoColumn> &CV4InfoCurrencyView::columnTable()
{
    static const std::vector<CV4InfoColumn> table{{C::L, 150}, {C::L, 70}, {C::L, 40}, {C::R, 80}, {C::M, 80}};
    return table;
}

CV4InfoCurrencyView::CV4InfoCurrencyView(Callback callback, std::vector<CV4InfoCurrencyViewParam> rows,
                                         cv::PageSetup &setup)
    : CV4InfoListView(std::move(callback), std::move(rows), setup, cv::PageSetup::Portrait,
                      Shape{columnTable(), true, false, false})
{
}

QStringList CV4InfoCurrencyView::headerTitles()
{
    return CV4InfoViewTitles({"Report-Currency-Name", "Report-Currency-Prefix", "Report-Currency-Format",
                              "Report-Currency-Default", "Report-Currency-Rate"});
}

// The date on the left, the sheet number on the right; no title.
void CV4InfoCurrencyView::drawPageHead(cv::Canvas &canvas)
{
    const double top = m_setup.margins.top();
    drawLeftJustified(canvas,
                      cv::formatString(cv::localizedString(QStringLiteral("Report-Currency-Head-Left")), {today()}),
                      QPointF(leftX(), top));
    drawRightJustified(canvas,
                       cv::formatString(cv::localizedString(QStringLiteral("Report-Currency-Head-Right")),
                                        {curPage() + 1, sheetCount()}),
                       QPointF(leftX(), top), contentWidth());
}
