#pragma once
// An application-modal list for picking one account, or several, of chosen
// kinds. Mode bits: 1 cash, 2 bank, 4 investment, 8 other asset, 16 credit
// card, 32 loan, 64 other debt, 256 group folders. Single choice (no result
// list) answers the picked ident, or -1 for nothing, Cancel or the current
// account picked again; multiple choice appends the picked nodes to the
// result list and answers their count, or -1.

#include "model/Node.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTreeWidget;

namespace cv {

class ReadOnlyBook;

class AccountDialog : public QDialog {
    Q_OBJECT
public:
    AccountDialog(ReadOnlyBook *document, int account, int mode, std::vector<NodePtr> excludes,
                  std::vector<NodePtr> *result, QWidget *parent = nullptr);

    // Runs the dialog and answers as above.
    static int runAccountDialog(ReadOnlyBook *document, int account, int mode, std::vector<NodePtr> excludes = {},
                                std::vector<NodePtr> *result = nullptr, QWidget *parent = nullptr);

    const std::vector<NodePtr> &offered() const { return m_data; }
    NodePtr lastChoice() const { return m_lastChoice; }
    QTreeWidget *tableView() const { return m_tableView; }
    void okPushed();
    // Esc and the close box answer -1 like Cancel.
    void reject() override { done(-1); }

private:
    void collectFrom(const NodePtr &node);

    ReadOnlyBook *m_document;           // the book, not owned
    std::vector<NodePtr> m_data;        // offered nodes, asset tree first, depth first
    std::vector<NodePtr> m_excludes;    // never offered (identity)
    int m_mode;                         // kind bits, above
    int m_account;                      // the current account's ident
    std::vector<NodePtr> *m_result;     // the caller's list in multiple choice, else null
    NodePtr m_lastChoice;               // the single choice's pick
    QTreeWidget *m_tableView = nullptr; // name and kind columns, owned by the dialog
};

} // namespace cv
