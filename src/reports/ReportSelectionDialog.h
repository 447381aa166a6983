#pragma once
// The base of the four small pickers of accounts, categories, securities and
// groupings for a report: a list, OK and Cancel. OK (or a double click on a
// row OK acts on) ends with 1, Cancel with -1; OK is enabled only while the
// selection holds a row OK would act on. Rows already chosen cannot be
// selected. The report sheet makes its choices in its own outlines; these
// dialogs serve callers that want a modal pick.

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace cv {

class ReportSelectionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kOK = 1;
    static constexpr int kCancel = -1;

    QTreeWidget *list() const { return m_list; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    // Runs the dialog modally; 1 OK, -1 Cancel.
    int run() { return exec(); }
    // A row that is already chosen shows its tick and cannot be selected.
    static void markChosen(QTreeWidgetItem &item, bool chosen);

protected:
    ReportSelectionDialog(const char *titleKey, QWidget *parent);

    // Whether OK acts on the row.
    virtual bool actsOn(const QTreeWidgetItem &item) const = 0;
    // Writes the choice of the selected rows.
    virtual void apply() = 0;
    void updateOK();

private:
    void okPushed();
    void reject() override { done(kCancel); }

    QTreeWidget *m_list;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace cv
