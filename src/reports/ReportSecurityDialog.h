#pragma once
// Picks securities for a report. The given list is what is already chosen
// (shown ticked, not selectable); OK makes it every security that is
// selected or was already chosen, in the document's order.

#include "reports/ReportSelectionDialog.h"

#include "model/Security.h"

#include <vector>

namespace cv {

class ReadOnlyBook;

class ReportSecurityDialog : public ReportSelectionDialog {
    Q_OBJECT
public:
    // The list must outlive the dialog.
    ReportSecurityDialog(ReadOnlyBook *doc, std::vector<SecurityPtr> &selectedList, QWidget *parent = nullptr);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    std::vector<SecurityPtr> m_securities;    // the document's securities
    std::vector<SecurityPtr> &m_selectedList; // the caller's choice, refilled on OK
};

} // namespace cv
