#pragma once
// Picks categories for a report: OK ticks every selected leaf and, with a
// depth limit t of 1 or more, every selected category at depth t (which the
// list does not open).

#include "reports/ReportSelectionDialog.h"

#include <QPointer>

class CV4Document;

namespace cv {

class ReportCategoryDialogController : public ReportSelectionDialog {
    Q_OBJECT
public:
    ReportCategoryDialogController(CV4Document *doc, int tier, QWidget *parent = nullptr);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    QPointer<CV4Document> m_doc;
    int m_tier;   // depth limit, 0 none
};

} // namespace cv
