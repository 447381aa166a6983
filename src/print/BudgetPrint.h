#pragma once
// The printed budget page: rows three lines high (actual, budget, share
// bottom-up), two sheets across (name and six months, then the rest).

#include "print/PrintedPages.h"

namespace cv {

class Node;

class BudgetPrintParam : public PrintedPagesParam {
public:
    static constexpr float kBudgetRowHeight = 3 * kDefaultHeight;
    using PrintedPagesParam::PrintedPagesParam;
    BudgetPrintParam(int level, const Node *ref) : PrintedPagesParam(level, kBudgetRowHeight), m_ref(ref) {}
    const Node *ref() const { return m_ref; }
    void setRef(const Node *ref) { m_ref = ref; }

private:
    const Node *m_ref = nullptr;
};

// Each cell is one string (the name, a header title) or three (the value
// columns of a data row, top line first).
class BudgetPrint : public PrintedPagesOf<BudgetPrintParam, QList<QStringList>> {
public:
    static constexpr int kLeftSheetColumns = 7;

    BudgetPrint(Callback callback, std::vector<BudgetPrintParam> rows, cv::PageSetup &setup);
    static PrintColumn column(int index);

protected:
    void drawContents(cv::Canvas &canvas) override;
};

} // namespace cv
