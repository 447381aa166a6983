#pragma once
// Picks accounts for a report: OK ticks (status 1) every selected account
// that is a leaf of the asset or debt tree.

#include "reports/ReportSelectionDialog.h"

#include <QPointer>

namespace cv {

class Book;
class Node;

class ReportAccountDialog : public ReportSelectionDialog {
    Q_OBJECT
public:
    explicit ReportAccountDialog(Book *doc, QWidget *parent = nullptr);

    static Node *nodeOf(const QTreeWidgetItem &item);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    QPointer<Book> m_doc;
};

} // namespace cv
