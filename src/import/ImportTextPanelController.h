#pragma once
// The text statement import sheet: a comma- or tab-separated statement of
// one account of the book (the import account) is read in the encoding the
// user chose; the user gives each row its category or transfer partner,
// helped by learned mapping 104, and OK writes the rows in one edit.

#include "import/LearnedMapping.h"
#include "import/TextDecoder.h"
#include "model/CV4Actual.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CV4Document;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace cv {
class ImportRowsModel;
class PopupDataSource;
class AccountDataSource;
class ChooserItem;
}

class ImportTextPanelController : public QDialog {
    Q_OBJECT
public:
    enum Column { DateColumn, MemoColumn, IncomeColumn, ExpenseColumn, CategoryColumn, PartnerColumn, TextColumn,
                  ColumnCount };
    enum MenuTag { MenuPartner = 101, MenuCategory = 102, MenuReject = 103, MenuAccept = 104 };

    explicit ImportTextPanelController(CV4Document *document, QWidget *parent = nullptr);
    ~ImportTextPanelController() override;

    static ImportTextPanelController *openImportPanel(CV4Document *document, QWidget *parent,
                                                      std::function<void(int)> done);

    void filePushed();
    // The open panel's OK: every row replaced by the file's, read in the
    // chosen encoding; false (after an alert naming the file) when unread.
    bool loadFile(const QString &path);
    void accountPushed(int index);
    void okPushed();
    void accept() override { okPushed(); }
    void menuSelected(int tag);
    Q_INVOKABLE void performInputDate(const QDate &date);

    const std::vector<CV4ActualPtr> &rows() const { return m_rows; }
    const QStringList &categoryTexts() const { return m_texts; }
    int importAccount() const { return m_importAccount; }
    bool isValid(const CV4Actual &row) const;
    QString cellText(int column, int row) const;

    QTableView *tableView() const { return m_table; }
    QComboBox *encodingBox() const { return m_encodingBox; }
    QComboBox *accountBox() const { return m_accountBox; }
    QPushButton *okButton() const { return m_okButton; }
    QMenu *contextMenu() const { return m_menu; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void reload();
    void updateButtons();
    void initializeMapping();
    std::vector<int> selectedRows() const;
    void handleClick(int column, int row);
    void changeCategory(int row);
    void changeAccount(int row);
    void runChooser(int column, int row, const cv::ChooserItem &value, std::function<void(int)> picked);
    void endPopup(int row, int ident, bool partner);
    void setRejectStatus(bool rejected);
    int partnerOf(const CV4Actual &row) const;
    QStringList mappingKey(int row) const;
    bool commitRows(bool applyDefaults);

    CV4Document *m_document;                 // not owned; outlives the sheet
    std::vector<CV4ActualPtr> m_rows;        // pending rows in file order, owned
    QStringList m_texts;                     // each row's category text
    int m_importAccount = -1;                // none chosen yet
    cv::LearnedMapping m_mapping;            // record 104, written only on OK
    bool m_mappingChanged = false;
    std::unique_ptr<cv::AccountDataSource> m_accounts;      // the import account's choices
    std::unique_ptr<cv::PopupDataSource> m_chooserSource;   // the open chooser's list

    QLineEdit *m_pathField = nullptr;        // children
    QComboBox *m_encodingBox = nullptr;
    QComboBox *m_accountBox = nullptr;
    QTableView *m_table = nullptr;
    cv::ImportRowsModel *m_model = nullptr;
    QPushButton *m_okButton = nullptr;
    QMenu *m_menu = nullptr;
};
