#include "print/SecuritiesPrint.h"

#include "print/PrintedPagesTitles.h"

namespace cv {

using C = PrintColumn;

const std::vector<PrintColumn> &SecuritiesPrint::columnTable()
{
    // The kind column holds "投資信託" at the report font; the risk column gives up the room.
    static const std::vector<PrintColumn> table{{C::L, 60}, {C::L, 150}, {C::L, 40},
                                                {C::L, 40}, {C::R, 60},  {C::L, 130}};
    return table;
}

SecuritiesPrint::SecuritiesPrint(Callback callback, std::vector<SecuritiesPrintParam> rows, cv::PageSetup &setup)
    : ListPrint(std::move(callback), std::move(rows), setup, cv::PageSetup::Portrait,
                Shape{columnTable(), true, false, true})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Brand-Title")));
}

// Five titles for six columns: the last column has none.
QStringList SecuritiesPrint::headerTitles()
{
    return PrintedPagesTitles({"Report-Brand-Kind", "Report-Brand-Name", "Report-Brand-Code", "Report-Currency-Prefix",
                               "Report-Invest-market"});
}

} // namespace cv
