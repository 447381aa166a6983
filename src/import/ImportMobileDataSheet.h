#pragma once
// The mobile entry import sheet: entries recorded on a mobile device are
// read from its comma-separated file; the device's category and account
// names are mapped to the book's (learned mappings 105 and 106), each row
// is fixed by choosers or made a transfer in the transfer choice window,
// and OK writes the ticked rows in one edit.

#include "controls/Tags.h"
#include "import/EntryImportSheet.h"

#include <vector>

class QPushButton;

namespace cv {

class TransferImportDialog;

class ImportMobileDataSheet : public cv::EntryImportSheet {
    Q_OBJECT
public:
    enum Column {
        DateColumn,
        NameColumn,
        CategoryColumn,
        AccountNameColumn,
        AccountColumn,
        IncomeColumn,
        ExpenseColumn,
        MemoColumn,
        ColumnCount
    };
    enum MenuTag { MenuTransfer = cv::tag::MobileImportMenu.first, MenuCategory, MenuAccount, MenuReject, MenuAccept };
    static_assert(MenuAccept == cv::tag::MobileImportMenu.last);
    // The category chooser's transfer item.
    static constexpr int kTransferItem = 1;

    struct Row {
        bool tick = false;    // ready to import
        QString categoryName; // the device's
        QString accountName;  // the device's
        EntryPtr entry;       // owned
    };

    explicit ImportMobileDataSheet(Book *document, QWidget *parent = nullptr);

    bool loadFile(const QString &path) override;
    void applyPushed();
    void okPushed() override;
    void menuSelected(int tag) override;

    const std::vector<Row> &rows() const { return m_rows; }
    bool isValid(const Entry &entry) const override;
    int completeDataCount() const;
    QString cellText(int column, int row) const override;

    QPushButton *applyButton() const { return m_applyButton; }
    TransferImportDialog *transferPanel() const { return m_transferPanel; }

private:
    int pendingCount() const override { return int(m_rows.size()); }
    Entry &pendingEntry(int row) const override { return *m_rows[size_t(row)].entry; }
    void buildWindow();
    void updateButtons() override;
    void handleClick(int column, int row) override;
    void changeCategory(int row);
    void changeAccount(int row);
    void openTransfer(const std::vector<int> &rows);
    // The transfer choice window has written the selected rows' entries.
    void finishedTransferEditing();
    void endCategoryPopup(int ident);
    void endAccountPopup(int ident);
    bool commitRows();

    std::vector<Row> m_rows; // in file order

    QPushButton *m_applyButton = nullptr;            // children
    TransferImportDialog *m_transferPanel = nullptr; // made once, reused
};

} // namespace cv
