#pragma once
// The printed investment status: twelve columns, landscape; top-level rows on a grey band, the header without one.

#include "print/ListPrint.h"

namespace cv {

class InvestmentsPrintParam : public PrintedPagesParam {
public:
    using PrintedPagesParam::PrintedPagesParam;
    InvestmentsPrintParam(int level, const void *ref) : PrintedPagesParam(level), m_ref(ref) {}
    const void *ref() const { return m_ref; }
    void setRef(const void *ref) { m_ref = ref; }

private:
    const void *m_ref = {};
};

class InvestmentsPrint : public ListPrint<InvestmentsPrintParam> {
public:
    InvestmentsPrint(Callback callback, std::vector<InvestmentsPrintParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<PrintColumn> &columnTable();
};

} // namespace cv
