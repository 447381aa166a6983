#pragma once
// The printed repayment schedule of a loan: eight columns, in the document's orientation.

#include "charts/CV4InfoListView.h"

class CV4PrLoanViewParam : public CV4InfoViewParam {
public:
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4PrLoanViewParam(int level, int index) : CV4InfoViewParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class CV4PrLoanView : public CV4InfoListView<CV4PrLoanViewParam> {
public:
    CV4PrLoanView(Callback callback, std::vector<CV4PrLoanViewParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<CV4InfoColumn> &columnTable();
};
