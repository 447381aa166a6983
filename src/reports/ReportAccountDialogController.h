#pragma once
// Picks accounts for a report: OK ticks (status 1) every selected account
// that is a leaf of the asset or debt tree.

#include "reports/ReportSelectionDialog.h"

#include <QPointer>

class CV4Document;
class CVUnitModel;

namespace cv {

class ReportAccountDialogController : public ReportSelectionDialog {
    Q_OBJECT
public:
    explicit ReportAccountDialogController(CV4Document *doc, QWidget *parent = nullptr);

    static CVUnitModel *nodeOf(const QTreeWidgetItem &item);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    QPointer<CV4Document> m_doc;
};

} // namespace cv
