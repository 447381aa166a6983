#include "print/SearchPrint.h"

#include "print/PrintedPagesTitles.h"

namespace cv {

using C = PrintColumn;

const std::vector<PrintColumn> &SearchPrint::columnTable()
{
    static const std::vector<PrintColumn> table{{C::L, 70}, {C::L, 110}, {C::L, 120}, {C::L, 120},
                                                {C::R, 60}, {C::R, 60},  {C::L, 80},  {C::L, 160}};
    return table;
}

SearchPrint::SearchPrint(Callback callback, std::vector<SearchPrintParam> rows, cv::PageSetup &setup)
    : ListPrint(std::move(callback), std::move(rows), setup, cv::PageSetup::Landscape,
                Shape{columnTable(), true, false, true})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Search-Title")));
}

QStringList SearchPrint::headerTitles()
{
    return PrintedPagesTitles({"Report-Date", "Report-Search-Category", "Report-Account", "Report-Search-Destination",
                               "Report-Search-Income", "Report-Search-Expense", "Report-Group", "Report-Memo"});
}

} // namespace cv
