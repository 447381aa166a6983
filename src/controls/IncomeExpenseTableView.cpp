#include "controls/IncomeExpenseTableView.h"

#include "controls/ExtendedListKeys.h"

#include <QKeyEvent>

namespace cv {

void IncomeExpenseTableView::keyPressEvent(QKeyEvent *event)
{
    if (cv::isFirstResponder(this)) {
        cv::handleExtendedListKey(this, event, m_titleColumn,
                                  {currentIndex().siblingAtRow(currentIndex().row() - 1),
                                   currentIndex().siblingAtRow(currentIndex().row() + 1),
                                   state() == QAbstractItemView::EditingState});
    }
    event->accept();
}

} // namespace cv
