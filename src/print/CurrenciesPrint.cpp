#include "print/CurrenciesPrint.h"

#include "print/PrintedPagesTitles.h"

namespace cv {

using C = PrintColumn;

const std::vector<PrintColumn> &CurrenciesPrint::columnTable()
{
    static const std::vector<PrintColumn> table{{C::L, 150}, {C::L, 70}, {C::L, 40}, {C::R, 80}, {C::M, 80}};
    return table;
}

CurrenciesPrint::CurrenciesPrint(Callback callback, std::vector<CurrenciesPrintParam> rows, cv::PageSetup &setup)
    : ListPrint(std::move(callback), std::move(rows), setup, cv::PageSetup::Portrait,
                Shape{columnTable(), true, false, false})
{
}

QStringList CurrenciesPrint::headerTitles()
{
    return PrintedPagesTitles({"Report-Currency-Name", "Report-Currency-Prefix", "Report-Currency-Format",
                               "Report-Currency-Default", "Report-Currency-Rate"});
}

// The date on the left, the sheet number on the right; no title.
void CurrenciesPrint::drawPageHead(cv::Canvas &canvas)
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

} // namespace cv
