#pragma once
// Picks securities for a report. The given list is what is already chosen
// (shown ticked, not selectable); OK makes it every security that is
// selected or was already chosen, in the document's order.

#include "reports/ReportSelectionDialog.h"

#include "model/CV4Brand.h"

#include <vector>

class CV4Document;

namespace cv {

class ReportBrandDialogController : public ReportSelectionDialog {
    Q_OBJECT
public:
    // The list must outlive the dialog.
    ReportBrandDialogController(CV4Document *doc, std::vector<CV4BrandPtr> &selectedList, QWidget *parent = nullptr);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    std::vector<CV4BrandPtr> m_brands;          // the document's securities
    std::vector<CV4BrandPtr> &m_selectedList;   // the caller's choice, refilled on OK
};

} // namespace cv
