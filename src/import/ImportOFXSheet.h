#pragma once
// The statement import sheet: a bank or card statement (OFX 2, else OFX
// 1.x) is read into pending rows, the user gives each row its category,
// account or transfer partner (helped by the learned mappings 102 and 103),
// and OK writes the complete rows as entries in one edit.

#include "controls/Tags.h"
#include "import/EntryImportSheet.h"
#include "import/StatementReaders.h"
#include "import/TextDecoder.h"

#include <QStringList>

#include <optional>
#include <vector>

class QCheckBox;
class QPushButton;

namespace cv {

class ImportOFXSheet : public cv::EntryImportSheet {
    Q_OBJECT
public:
    enum Column {
        DateColumn,
        MemoColumn,
        DepositColumn,
        WithdrawalColumn,
        CategoryColumn,
        AccountColumn,
        TransferColumn,
        TickColumn,
        ColumnCount,
    };
    // The table's context menu.
    enum MenuTag {
        MenuPartner = cv::tag::OFXImportMenu.first,
        MenuCategory,
        MenuAccount,
        MenuReject = MenuPartner + 9,
        MenuAccept = cv::tag::OFXImportMenu.last,
    };
    // The account every row without one gets by default: the wallet.
    static constexpr int kDefaultAccount = 10;

    // Only data type 0 (a statement file) has a caller.
    ImportOFXSheet(Book *document, int dataType, QWidget *parent = nullptr);

    // ---- actions
    bool loadFile(const QString &path) override;
    void applyPushed();
    void okPushed() override;
    void cancelPushed() { done(0); }
    void menuSelected(int tag) override;
    Q_INVOKABLE void performInputDate(const QDate &date) { setSelectedDates(date); }

    // ---- rows
    const std::vector<EntryPtr> &rows() const { return m_rows; }
    const QStringList &importedAccounts() const { return m_accounts; }
    // Whether the row can be written; with defaults, a missing account or
    // category is filled in first (the row is changed).
    bool isValid(Entry &row, bool applyDefault) const;
    bool isValid(const Entry &row) const override;
    int completeDataCount() const;
    // A document account's name, an imported id for a negative ident, "" for 0.
    QString tempAccountName(int ident) const;
    QString cellText(int column, int row) const override;
    // The notice's lines that come from the file alone: a header the text
    // was not read by, and the transactions that gave no row.
    static QStringList fileNotices(std::optional<TextEncoding> labelOverruled,
                                   const std::vector<UnreadTransaction> &unread);

    // ---- parts, for the window and tests
    QPushButton *applyButton() const { return m_applyButton; }
    QCheckBox *accountDetailBox() const { return m_detailBox; }

private:
    int pendingCount() const override { return int(m_rows.size()); }
    Entry &pendingEntry(int row) const override { return *m_rows[size_t(row)]; }
    void buildWindow();
    void updateButtons() override;
    void handleClick(int column, int row) override;
    void changeCategory(int row);
    void changeAccount(int row, int mode);
    void endCategoryPopup(int ident);
    void endAccountPopup(int ident);
    bool commitRows(bool applyDefaults);
    static int storedAccount(const Entry &row); // the row's account, or the default
    QString notice() const;

    std::vector<EntryPtr> m_rows;                 // pending rows in file order, owned
    QStringList m_accounts;                       // imported account ids in file order
    QStringList m_currencies;                     // each row's statement's CURDEF, "" when none
    std::optional<TextEncoding> m_labelOverruled; // how the text was read against its header
    std::vector<UnreadTransaction> m_unread;      // transactions of the file that gave no row
    int m_chooserMode = 0;                        // the open account chooser's: 0 account, 1 partner

    QPushButton *m_applyButton = nullptr; // children
    QCheckBox *m_detailBox = nullptr;
};

} // namespace cv
