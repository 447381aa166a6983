#pragma once
// The printed security list: six columns, portrait.

#include "print/ListPrint.h"

namespace cv {

class SecuritiesPrintParam : public PrintedPagesParam {
public:
    using PrintedPagesParam::PrintedPagesParam;
    SecuritiesPrintParam(int level, int index) : PrintedPagesParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class SecuritiesPrint : public ListPrint<SecuritiesPrintParam> {
public:
    SecuritiesPrint(Callback callback, std::vector<SecuritiesPrintParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<PrintColumn> &columnTable();
};

} // namespace cv
