#pragma once
// Picks groupings for a report from the rows the caller gives: OK marks
// every selected row chosen.

#include "reports/ReportSelectionDialog.h"

#include <QString>

#include <vector>

namespace cv {

class Book;

class ReportGroupDialog : public ReportSelectionDialog {
    Q_OBJECT
public:
    struct Row {
        int ident = 0;
        QString name;
        int select = 0; // 1: chosen
    };

    // The rows must outlive the dialog.
    ReportGroupDialog(Book *doc, std::vector<Row> &groupList, QWidget *parent = nullptr);

protected:
    bool actsOn(const QTreeWidgetItem &item) const override;
    void apply() override;

private:
    std::vector<Row> &m_rows; // the caller's rows, marked on OK
};

} // namespace cv
