#pragma once
// The printed search results: eight columns, landscape; a long memo is cut.

#include "print/ListPrint.h"

namespace cv {

class SearchPrintParam : public PrintedPagesParam {
public:
    using PrintedPagesParam::PrintedPagesParam;
    SearchPrintParam(int level, int index) : PrintedPagesParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class SearchPrint : public ListPrint<SearchPrintParam> {
public:
    SearchPrint(Callback callback, std::vector<SearchPrintParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<PrintColumn> &columnTable();
};

} // namespace cv
