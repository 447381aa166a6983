#pragma once
// The printed viewer: the account outline, then the category outline, two
// sheets across (name and seven columns on the left sheet, the names again
// and the rest on the right one), in the document's orientation.

#include "charts/CV4InfoView.h"

#include <utility>
#include <vector>

class CVUnitModel;

class CV4InfoMainViewParam : public CV4InfoViewParam {
public:
    enum Kind { Accounts = 0, Categories = 1 };
    using CV4InfoViewParam::CV4InfoViewParam;
    CV4InfoMainViewParam(int level, const CVUnitModel *ref, int kind) : CV4InfoViewParam(level), m_ref(ref), m_kind(kind)
    {
    }
    // The node; on a header row none (the kind names the outline).
    const CVUnitModel *ref() const { return m_ref; }
    void setRef(const CVUnitModel *ref) { m_ref = ref; }
    int kind() const { return m_kind; }
    void setKind(int kind) { m_kind = kind; }

private:
    const CVUnitModel *m_ref = nullptr;
    int m_kind = Accounts;
};

class CV4InfoMainView : public CV4InfoViewOf<CV4InfoMainViewParam> {
public:
    static constexpr int kLeftSheetColumns = 8;
    static constexpr double kMinRepeatedNameWidth = 90;

    CV4InfoMainView(Callback callback, std::vector<CV4InfoMainViewParam> rows, cv::PageSetup &setup);
    // Column 0 is the name; the second-to-last column of a row is narrow.
    static CV4InfoColumn column(int index, int count);
    // The columns a sheet across prints, with their widths, for rows of
    // `count` cells on a sheet `available` points wide.
    static std::vector<std::pair<int, double>> sheetColumns(int spread, int count, double available);

protected:
    void drawContents(cv::Canvas &canvas) override;
};
