#include "controls/UndoableSheet.h"

#include "platform/Localization.h"

#include <QAction>
#include <QUndoStack>

namespace cv {

UndoableSheet::UndoableSheet(QWidget *parent)
    : QDialog(parent), m_undo(new QAction(cv::localizedString(QStringLiteral("Undo")), this)),
      m_redo(new QAction(cv::localizedString(QStringLiteral("Redo")), this))
{
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo->setShortcut(QKeySequence::Redo);
    // Only while a text field is not editing: a focused field keeps its own
    // text undo for the keys, the sheet's menu acts on the document.
    for (QAction *action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        addAction(action);
    }
    connect(m_undo, &QAction::triggered, this, [this] {
        if (m_undoStack) m_undoStack->undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (m_undoStack) m_undoStack->redo();
    });
}

void UndoableSheet::setUndoStack(QUndoStack *stack)
{
    if (m_undoStack) disconnect(m_undoStack, nullptr, this, nullptr);
    m_undoStack = stack;
    m_undo->setEnabled(stack && stack->canUndo());
    m_redo->setEnabled(stack && stack->canRedo());
    if (!stack) return;
    connect(stack, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
}

void UndoableSheet::terminateModalSessionWithCode(int code)
{
    // done() ends both: finished(code) for a sheet, exec() returning code.
    done(code);
}

} // namespace cv
