#include "import/PendingRows.h"

#include "document/CV4Document.h"
#include "platform/Assert.h"

namespace cv {

void storePendingRow(CV4Document &document, const CV4ActualPtr &row)
{
    CV_ASSERT_OR(row, return);
    row->setIdent(-1);
    row->setFlags(0);
    switch (row->kind()) {
    case cv::EntryKind::Income: document.updateIncome(row, nullptr); break;
    case cv::EntryKind::Expense: document.updateExpense(row, nullptr); break;
    case cv::EntryKind::Transfer:
        document.fixupTransferCategory(*row);
        document.updateTransfer(row, nullptr);
        break;
    default: Q_ASSERT(false); break;
    }
}

} // namespace cv
