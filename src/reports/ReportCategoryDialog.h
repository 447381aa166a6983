#pragma once
// Picks categories for a report: OK ticks every selected leaf and, with a
// depth limit t of 1 or more, every selected category at depth t (which the
// list does not open).

#include "reports/ReportSelectionDialog.h"

#include <QPointer>

namespace cv {

class Book;

class ReportCategoryDialog : public ReportSelectionDialog {
    Q_OBJECT
public:
    ReportCategoryDialog(Book *doc, int tier, QWidget *parent = nullptr);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    QPointer<Book> m_doc;
    int m_tier; // depth limit, 0 none
};

} // namespace cv
