#pragma once
// The statement import sheet: a bank or card statement (OFX 2, else OFX
// 1.x) is read into pending rows, the user gives each row its category,
// account or transfer partner (helped by the learned mappings 102 and 103),
// and OK writes the complete rows as entries in one edit.
//
// The rows' table model lives in the .cpp.

#include "controls/ChooserItem.h"
#include "import/LearnedMapping.h"
#include "model/CV4Actual.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CV4Document;
class QAbstractTableModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace cv {
class PopupDataSource;
}

class ImportOFXPanelController : public QDialog {
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
    enum MenuTag { MenuPartner = 101, MenuCategory = 102, MenuAccount = 103, MenuReject = 110, MenuAccept = 111 };
    // The account every row without one gets by default: the wallet.
    static constexpr int kDefaultAccount = 10;

    // Only data type 0 (a statement file) has a caller.
    ImportOFXPanelController(CV4Document *document, int dataType, QWidget *parent = nullptr);
    ~ImportOFXPanelController() override;

    // Opens the sheet on the window under the sheet tracker; `done` gets 1
    // after a commit, 0 on Cancel.
    static ImportOFXPanelController *openImportPanel(CV4Document *document, QWidget *parent,
                                                     std::function<void(int)> done);

    // ---- actions
    void filePushed();
    // What the open panel's OK does: replaces every row with the file's;
    // false (after an alert naming the file) when nothing could be read.
    bool loadFile(const QString &path);
    void applyPushed();
    void okPushed();
    void cancelPushed() { done(0); }
    void accept() override { okPushed(); }
    void menuSelected(int tag);
    // A date from the popup calendar: every selected row takes it.
    Q_INVOKABLE void performInputDate(const QDate &date);

    // ---- rows
    const std::vector<CV4ActualPtr> &rows() const { return m_rows; }
    const QStringList &importedAccounts() const { return m_accounts; }
    // Whether the row can be written; with defaults, a missing account or
    // category is filled in first (the row is changed).
    bool isValid(CV4Actual &row, bool applyDefault) const;
    bool isValid(const CV4Actual &row) const;
    int completeDataCount() const;
    // A document account's name, an imported id for a negative ident, "" for 0.
    QString tempAccountName(int ident) const;
    QString cellText(int column, int row) const;

    // ---- parts, for the window and tests
    QTableView *tableView() const { return m_table; }
    QPushButton *fileButton() const { return m_fileButton; }
    QPushButton *applyButton() const { return m_applyButton; }
    QPushButton *okButton() const { return m_okButton; }
    QCheckBox *accountDetailBox() const { return m_detailBox; }
    QMenu *contextMenu() const { return m_menu; }

private:
    void buildWindow();
    void reload();
    void updateButtons();
    std::vector<int> selectedRows() const;
    void handleClick(int column, int row);
    void showContextMenu(const QPoint &position);
    void changeCategory(int row);
    void changeAccount(int row, int mode);
    void runChooser(int column, int row, const cv::ChooserItem &value, std::function<void(int)> picked);
    void endActualPopup(int ident);
    void endAccountPopup(int ident);
    void setRejectStatus(bool rejected);
    bool commitRows(bool applyDefaults);

    CV4Document *m_document;                    // not owned; outlives the sheet
    std::vector<CV4ActualPtr> m_rows;           // pending rows in file order, owned
    QStringList m_accounts;                     // imported account ids in file order
    cv::LearnedMapping m_memoMapping;           // record 102, written only on OK
    cv::LearnedMapping m_accountMapping;        // record 103, written only on OK
    bool m_mappingChanged = false;              // a mapping was learned while reviewing
    int m_chooserMode = 0;                      // the open account chooser's: 0 account, 1 partner
    std::unique_ptr<cv::PopupDataSource> m_chooserSource;   // the open chooser's list

    QLineEdit *m_pathField = nullptr;           // children
    QPushButton *m_fileButton = nullptr;
    QTableView *m_table = nullptr;
    QAbstractTableModel *m_model = nullptr;
    QPushButton *m_applyButton = nullptr;
    QCheckBox *m_detailBox = nullptr;
    QPushButton *m_okButton = nullptr;
    QMenu *m_menu = nullptr;
};
