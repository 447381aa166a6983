#pragma once
// The printed security list: six columns, portrait.

#include "charts/CV4InfoListView.h"

class CV4InfoBrandViewParam : public CV4InfoViewParam {
public:
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4InfoBrandViewParam(int level, int index) : CV4InfoViewParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class CV4InfoBrandView : public CV4InfoListView<CV4InfoBrandViewParam> {
public:
    CV4InfoBrandView(Callback callback, std::vector<CV4InfoBrandViewParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<CV4InfoColumn> &columnTable();
};
