#pragma once
// The printed investment status: twelve columns, landscape; top-level rows on a grey band, the header without one.

#include "charts/CV4InfoListView.h"

class CV4InfoInvestViewParam : public CV4InfoViewParam {
public:
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4InfoInvestViewParam(int level, const void *ref) : CV4InfoViewParam(level), m_ref(ref) {}
    const void *ref() const { return m_ref; }
    void setRef(const void *ref) { m_ref = ref; }

private:
    const void *m_ref = {};
};

class CV4InfoInvestView : public CV4InfoListView<CV4InfoInvestViewParam> {
public:
    CV4InfoInvestView(Callback callback, std::vector<CV4InfoInvestViewParam> rows, cv::PageSetup &setup);
    // The titles the owner answers for the header row.
    static QStringList headerTitles();
    static const std::vector<CV4InfoColumn> &columnTable();
};
