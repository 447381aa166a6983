#include "controls/ExtendedOutlineView.h"

#include "controls/ExtendedListKeys.h"

#include <QKeyEvent>

namespace cv {

void ExtendedOutlineView::keyPressEvent(QKeyEvent *event)
{
    if (cv::isFirstResponder(this)) {
        cv::handleExtendedListKey(
            this, event, m_titleColumn,
            {indexAbove(currentIndex()), indexBelow(currentIndex()), state() == QAbstractItemView::EditingState});
    }
    event->accept();
}

} // namespace cv
