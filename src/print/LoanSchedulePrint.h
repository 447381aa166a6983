#pragma once
// The printed repayment schedule of a loan: eight columns, in the document's orientation.

#include "print/ListPrint.h"

namespace cv {

class LoanSchedulePrintParam : public PrintedPagesParam {
public:
    using PrintedPagesParam::PrintedPagesParam;
    LoanSchedulePrintParam(int level, int index) : PrintedPagesParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class LoanSchedulePrint : public ListPrint<LoanSchedulePrintParam> {
public:
    LoanSchedulePrint(Callback callback, std::vector<LoanSchedulePrintParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<PrintColumn> &columnTable();
};

} // namespace cv
