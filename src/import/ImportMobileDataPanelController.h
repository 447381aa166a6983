#pragma once
// The mobile entry import sheet: entries recorded on a mobile device are
// read from its comma-separated file; the device's category and account
// names are mapped to the book's (learned mappings 105 and 106), each row
// is fixed by choosers or made a transfer in the transfer choice window,
// and OK writes the ticked rows in one edit.

#include "import/LearnedMapping.h"
#include "model/CV4Actual.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class CV4Document;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class TransferImportPanelController;

namespace cv {
class ImportRowsModel;
class PopupDataSource;
class ChooserItem;
}

class ImportMobileDataPanelController : public QDialog {
    Q_OBJECT
public:
    enum Column { DateColumn, NameColumn, CategoryColumn, AccountNameColumn, AccountColumn, IncomeColumn,
                  ExpenseColumn, MemoColumn, ColumnCount };
    enum MenuTag { MenuTransfer = 1001, MenuCategory = 1002, MenuAccount = 1003, MenuReject = 1004, MenuAccept = 1005 };
    // The category chooser's transfer item.
    static constexpr int kTransferItem = 1;

    struct Row {
        bool tick = false;        // ready to import
        QString categoryName;     // the device's
        QString accountName;      // the device's
        CV4ActualPtr entry;       // owned
    };

    explicit ImportMobileDataPanelController(CV4Document *document, QWidget *parent = nullptr);
    ~ImportMobileDataPanelController() override;

    static ImportMobileDataPanelController *openImportPanel(CV4Document *document, QWidget *parent,
                                                            std::function<void(int)> done);

    void filePushed();
    bool loadFile(const QString &path);
    void applyPushed();
    void okPushed();
    void accept() override { okPushed(); }
    void menuSelected(int tag);
    // The transfer choice window has written the selected rows' entries.
    void finishedTransferEditing();

    const std::vector<Row> &rows() const { return m_rows; }
    bool isValid(const CV4Actual &entry) const;
    int completeDataCount() const;
    QString cellText(int column, int row) const;

    QTableView *tableView() const { return m_table; }
    QPushButton *applyButton() const { return m_applyButton; }
    QPushButton *okButton() const { return m_okButton; }
    QMenu *contextMenu() const { return m_menu; }
    TransferImportPanelController *transferPanel() const { return m_transferPanel; }

private:
    void buildWindow();
    void reload();
    void updateButtons();
    std::vector<int> selectedRows() const;
    void handleClick(int column, int row);
    void changeCategory(int row);
    void changeAccount(int row);
    void openTransfer(const std::vector<int> &rows);
    void runChooser(int column, int row, const cv::ChooserItem &value, std::function<void(int)> picked);
    void endActualPopup(int ident);
    void endAccountPopup(int ident);
    void setRejectStatus(bool rejected);
    bool commitRows();

    CV4Document *m_document;                   // not owned; outlives the sheet
    std::vector<Row> m_rows;                   // in file order
    cv::LearnedMapping m_categoryMapping;      // record 105, written only on OK
    cv::LearnedMapping m_accountMapping;       // record 106, written only on OK
    bool m_mappingChanged = false;
    std::unique_ptr<cv::PopupDataSource> m_chooserSource;   // the open chooser's list

    QLineEdit *m_pathField = nullptr;          // children
    QTableView *m_table = nullptr;
    cv::ImportRowsModel *m_model = nullptr;
    QPushButton *m_applyButton = nullptr;
    QPushButton *m_okButton = nullptr;
    QMenu *m_menu = nullptr;
    TransferImportPanelController *m_transferPanel = nullptr;   // made once, reused
};
