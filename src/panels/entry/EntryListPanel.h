#pragma once
// The common part of the income and expense panel and the transfer panel:
// repeated entry through the repeated entry dialog (toolbar "TB_Batch", menu
// BatchTag), revert of the selected rows (RevertTag), and the dialog's end
// with the panel (a commit or leaving the page cancels it).

#include "panels/entry/EntryPanel.h"
#include "panels/dialogs/RepeatedEntryDialog.h"
#include "panels/dialogs/RepeatedEntryTarget.h"

#include <QPointer>

namespace cv {

class EntryListPanel : public EntryPanel, public RepeatedEntryTarget {
    Q_OBJECT

public:
    enum MenuTag { BatchTag = cv::tag::RepeatedEntry };

    EntryListPanel(Book *doc, NodePtr node, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~EntryListPanel() override;

    // "TB_Batch" runs the repeated entry dialog; other items are not the panel's.
    bool handleToolbar(const QString &identifier) override;
    void repeatInputPushed();
    RepeatedEntryDialog *repeatDialog() const { return m_repeatDialog; }
    // The context menu: add, delete or restore the selected rows, revert,
    // repeated entry.
    void menuSelected(int tag);
    void panelMenuSelected(int tag) override { menuSelected(tag); }
    std::optional<bool> validateMenuTag(int tag) const override;
    // The selected changed rows get their stored values back (not undoable).
    void revertSelected();
    void didEnd() override { closeRepeatDialog(); }

    // RepeatedEntryTarget
    void appendRepeatedRows(const std::vector<EntryPtr> &rows) override;
    void repeatFinished(int code) override;

    std::optional<bool> validateMenuItem(const EditingTable *table, const QAction *action) const override;
    // A new row shows its amount once one was typed.
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;

Q_SIGNALS:
    // Rows were written: the main window empties its search results.
    void searchListShouldClear();

protected:
    std::vector<PanelMenuEntry> panelMenuEntries() const override;
    void updateButtons() override;
    void closeRepeatDialog();

private:
    QPointer<RepeatedEntryDialog> m_repeatDialog;
};

} // namespace cv
