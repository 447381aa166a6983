#pragma once
// The printed budget page: rows three lines high (actual, budget, share
// bottom-up), two sheets across (name and six months, then the rest).

#include "charts/CV4InfoView.h"

class CVUnitModel;

class CV4InfoBudgetViewParam : public CV4InfoViewParam {
public:
    static constexpr float kBudgetRowHeight = 3 * kDefaultHeight;
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4InfoBudgetViewParam(int level, const CVUnitModel *ref) : CV4InfoViewParam(level, kBudgetRowHeight), m_ref(ref) {}
    const CVUnitModel *ref() const { return m_ref; }
    void setRef(const CVUnitModel *ref) { m_ref = ref; }

private:
    const CVUnitModel *m_ref = nullptr;
};

// Each cell is one string (the name, a header title) or three (the value
// columns of a data row, top line first).
class CV4InfoBudgetView : public CV4InfoViewOf<CV4InfoBudgetViewParam, QList<QStringList>> {
public:
    static constexpr int kLeftSheetColumns = 7;

    CV4InfoBudgetView(Callback callback, std::vector<CV4InfoBudgetViewParam> rows, cv::PageSetup &setup);
    static CV4InfoColumn column(int index);

protected:
    void drawContents(cv::Canvas &canvas) override;
};
