#include "controls/ExtendedTableView.h"

#include "controls/ExtendedListKeys.h"

#include <QKeyEvent>

namespace cv {

ArrowFlags &ExtendedTableView::arrowFlags()
{
    static ArrowFlags flags;
    return flags;
}

void ExtendedTableView::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (!cv::isFirstResponder(this)) return;
    ArrowFlags &flags = arrowFlags();
    switch (event->key()) {
    case Qt::Key_Escape: window()->close(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_titleColumn >= 0 && currentIndex().isValid()) {
            const QModelIndex title = currentIndex().siblingAtColumn(m_titleColumn);
            setCurrentIndex(title);
            edit(title);
        } else {
            Q_EMIT pressedReturn();
        }
        return;
    case Qt::Key_Up: flags.up = true; return;
    case Qt::Key_Down: flags.down = true; return;
    case Qt::Key_Left: flags.left = true; return;
    case Qt::Key_Right: flags.right = true; return;
    default: return;
    }
}

} // namespace cv
