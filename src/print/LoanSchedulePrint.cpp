#include "print/LoanSchedulePrint.h"

#include "print/PrintedPagesTitles.h"

namespace cv {

using C = PrintColumn;

const std::vector<PrintColumn> &LoanSchedulePrint::columnTable()
{
    static const std::vector<PrintColumn> table{{C::R, 30}, {C::L, 70}, {C::R, 50}, {C::R, 70},
                                                {C::R, 60}, {C::R, 80}, {C::R, 90}, {C::L, 90}};
    return table;
}

LoanSchedulePrint::LoanSchedulePrint(Callback callback, std::vector<LoanSchedulePrintParam> rows, cv::PageSetup &setup)
    : ListPrint(std::move(callback), std::move(rows), setup, -1, Shape{columnTable(), true, false, false})
{
    setTitle(cv::localizedString(QStringLiteral("Report-Loan-Title")));
}

QStringList LoanSchedulePrint::headerTitles()
{
    return PrintedPagesTitles({"Report-Times", "Report-Date", "Report-Rate", "Report-Loan-Principal",
                               "Report-Loan-Interest", "Report-Loan-Total", "Report-Loan-Rest", "Report-Account"});
}

} // namespace cv
