#include "controls/ExtendedListKeys.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLoggingCategory>

namespace cv {

namespace {

Q_LOGGING_CATEGORY(lcListKeys, "corvane.controls.keys", QtWarningMsg)

} // namespace

bool isFirstResponder(const QAbstractItemView *view)
{
    const QWidget *focus = QApplication::focusWidget();
    return view && focus && (focus == view || view->isAncestorOf(focus));
}

void handleExtendedListKey(QAbstractItemView *view, QKeyEvent *event, int titleColumn, const ListPosition &position)
{
    event->accept();
    qCDebug(lcListKeys, "%0x", event->key());
    QAbstractItemModel *model = view->model();
    if (!model) return;
    const QModelIndex current = view->currentIndex();
    switch (event->key()) {
    case Qt::Key_Escape:
        if (QWidget *parent = view->parentWidget())
            parent->setFocus(Qt::OtherFocusReason);
        else
            view->clearFocus();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current.isValid() && titleColumn >= 0) {
            const QModelIndex title = current.siblingAtColumn(titleColumn);
            view->setCurrentIndex(title);
            view->edit(title);
        }
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!current.isValid()) return;
        const bool up = event->key() == Qt::Key_Up;
        const QModelIndex next = up ? position.above : position.below;
        if (!next.isValid()) return;
        const bool editing = position.editing;
        if (editing) view->setFocus(Qt::OtherFocusReason); // commits the open editor
        const QModelIndex target = next.siblingAtColumn(current.column());
        view->setCurrentIndex(target);
        view->selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (editing) view->edit(target);
        view->scrollTo(target);
        return;
    }
    default: return;
    }
}

} // namespace cv
