#pragma once
// The printed currency list: five columns, portrait, under a head of its own.

#include "print/ListPrint.h"

namespace cv {

class CurrenciesPrintParam : public PrintedPagesParam {
public:
    using PrintedPagesParam::PrintedPagesParam;
    CurrenciesPrintParam(int level, int index) : PrintedPagesParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class CurrenciesPrint : public ListPrint<CurrenciesPrintParam> {
public:
    CurrenciesPrint(Callback callback, std::vector<CurrenciesPrintParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<PrintColumn> &columnTable();

protected:
    void drawPageHead(cv::Canvas &canvas) override;
};

} // namespace cv
