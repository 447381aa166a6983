#pragma once
// The printed viewer: the account outline, then the category outline, two
// sheets across (name and seven columns on the left sheet, the names again
// and the rest on the right one), in the document's orientation.

#include "print/PrintedPages.h"

#include <utility>
#include <vector>

namespace cv {

class Node;

class ViewerPrintParam : public PrintedPagesParam {
public:
    enum Kind { Accounts = 0, Categories = 1 };
    using PrintedPagesParam::PrintedPagesParam;
    ViewerPrintParam(int level, const Node *ref, int kind) : PrintedPagesParam(level), m_ref(ref), m_kind(kind) {}
    // The node; on a header row none (the kind names the outline).
    const Node *ref() const { return m_ref; }
    void setRef(const Node *ref) { m_ref = ref; }
    int kind() const { return m_kind; }
    void setKind(int kind) { m_kind = kind; }

private:
    const Node *m_ref = nullptr;
    int m_kind = Accounts;
};

class ViewerPrint : public PrintedPagesOf<ViewerPrintParam> {
public:
    static constexpr int kLeftSheetColumns = 8;
    static constexpr double kMinRepeatedNameWidth = 90;

    ViewerPrint(Callback callback, std::vector<ViewerPrintParam> rows, cv::PageSetup &setup);
    // Column 0 is the name; the second-to-last column of a row is narrow.
    static PrintColumn column(int index, int count);
    // The columns a sheet across prints, with their widths, for rows of
    // `count` cells on a sheet `available` points wide.
    static std::vector<std::pair<int, double>> sheetColumns(int spread, int count, double available);

protected:
    void drawContents(cv::Canvas &canvas) override;
};

} // namespace cv
