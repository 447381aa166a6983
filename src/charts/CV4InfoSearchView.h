#pragma once
// The printed search results: eight columns, landscape; a long memo is cut.

#include "charts/CV4InfoListView.h"

class CV4InfoSearchViewParam : public CV4InfoViewParam {
public:
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4InfoSearchViewParam(int level, int index) : CV4InfoViewParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class CV4InfoSearchView : public CV4InfoListView<CV4InfoSearchViewParam> {
public:
    CV4InfoSearchView(Callback callback, std::vector<CV4InfoSearchViewParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<CV4InfoColumn> &columnTable();
};
