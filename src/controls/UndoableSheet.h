#pragma once
// The base of the sheets that edit one account, one security or one opening
// holding: while the sheet is open its Undo and Redo act on the document's
// undo stack, and the sheet ends itself with a return code whether it runs
// as a sheet (open) or application-modal (exec).

#include <QDialog>
#include <QPointer>

class QAction;

namespace cv {

} // namespace cv
#include <QUndoStack>

namespace cv {

class UndoableSheet : public QDialog {
    Q_OBJECT

public:
    explicit UndoableSheet(QWidget *parent = nullptr);

    // The document's undo stack; the sheet's Undo and Redo follow it.
    void setUndoStack(QUndoStack *stack);
    QUndoStack *undoStack() const { return m_undoStack; }
    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }

    // Ends the sheet or the modal run with the code: 0 after Cancel, a
    // positive code after OK as each sheet defines.
    void terminateModalSessionWithCode(int code);

private:
    QPointer<QUndoStack> m_undoStack; // the document's; not owned
    QAction *m_undo;
    QAction *m_redo;
};

} // namespace cv
