#pragma once
// The printed currency list: five columns, portrait, under a head of its own.

#include "charts/CV4InfoListView.h"

class CV4InfoCurrencyViewParam : public CV4InfoViewParam {
public:
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4InfoCurrencyViewParam(int level, int index) : CV4InfoViewParam(level), m_index(index) {}
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

private:
    int m_index = {};
};

class CV4InfoCurrencyView : public CV4InfoListView<CV4InfoCurrencyViewParam> {
public:
    CV4InfoCurrencyView(Callback callback, std::vector<CV4InfoCurrencyViewParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<CV4InfoColumn> &columnTable();

protected:
    void drawPageHead(cv::Canvas &canvas) override;
};
