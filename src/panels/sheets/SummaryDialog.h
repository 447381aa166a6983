#pragma once
// The sheet of a summary node: an account summary (kind 50: ticked asset
// accounts added, ticked debts subtracted) or a category summary (kind 51:
// ticked income categories added, ticked expense categories subtracted).
// It fills the node's name and its Summary and ends 1 (written) or 0; the
// opener stores. The ticks live in the document's nodes, as for every
// check-box outline.

#include "controls/ButtonStatusClient.h"
#include "model/Node.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace cv {

class Book;
class InputTextField;

class TickTree;

class SummaryDialog : public QDialog, public cv::ButtonStatusClient {
    Q_OBJECT
public:
    SummaryDialog(Book *document, NodePtr item, QWidget *parent = nullptr);

    // Opens the sheet on `parent`; `done(code, sheet)` runs when it ends.
    static SummaryDialog *openSummaryPanel(Book *document, const NodePtr &item, QWidget *parent,
                                           std::function<void(int, SummaryDialog *)> done);

    InputTextField *nameField() const { return m_nameField; }
    InputTextField *memoField() const { return m_memoField; }
    cv::TickTree *outline() const { return m_outline; }
    QPushButton *okButton() const { return m_okButton; }
    bool hasChanged() const { return m_hasChanged; }

    // A tick or a typed text: the change flag is set and OK follows the name
    // and the ticks (disabled while loading).
    void updateButtons() override;
    void okPushed();
    void cancelPushed();
    void reject() override { cancelPushed(); }
    void accept() override { okPushed(); }

private:
    bool isAccountSummary() const;

    Book *m_document; // not owned; outlives the sheet
    NodePtr m_currentItem;
    bool m_loading = true;
    bool m_hasChanged = false;
    InputTextField *m_nameField; // children
    InputTextField *m_memoField;
    cv::TickTree *m_outline;
    QPushButton *m_okButton = nullptr;
};

} // namespace cv
