#pragma once
// The price and rate list import sheet: dated prices of one security, or
// dated rates of one currency, read from a comma- or tab-separated file;
// single values can be corrected and lines excluded, and OK stores every
// included value in file order in one edit (the last value of a day stays).
// The caller refreshes the caches and tells the windows.

#include "model/CV4PriceTime.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class CV4Document;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace cv {
class ImportRowsModel;
}

class ImportCSVPanelController : public QDialog {
    Q_OBJECT
public:
    enum Column { DateColumn, PriceColumn, ColumnCount };
    enum MenuTag { MenuExclude = 1000, MenuInclude = 1001 };

    ImportCSVPanelController(CV4Document *document, int target, bool isBrand, QWidget *parent = nullptr);

    // Open as a sheet under the sheet tracker; `done` gets 1 after the values were stored.
    static ImportCSVPanelController *openForBrand(CV4Document *document, int brand, QWidget *parent,
                                                  std::function<void(int)> done);
    static ImportCSVPanelController *openForCurrency(CV4Document *document, int currency, QWidget *parent,
                                                     std::function<void(int)> done);

    void filePushed();
    bool loadFile(const QString &path);
    void okPushed();
    void accept() override { okPushed(); }
    void menuSelected(int tag);

    const std::vector<CV4PriceTimePtr> &values() const { return m_values; }
    QString cellText(int column, int row) const;
    // A value's text read as the target's values are; none when it is no number.
    std::optional<double> currencyValueForString(QStringView text) const;

    QTableView *tableView() const { return m_table; }
    QPushButton *okButton() const { return m_okButton; }
    QMenu *contextMenu() const { return m_menu; }

private:
    void buildWindow();
    void updateButtons();
    int currency() const;
    bool isStock() const;
    bool setText(int column, int row, const QString &text);

    CV4Document *m_document;               // not owned; outlives the sheet
    int m_target;                          // a security or currency ident
    bool m_isBrand;
    std::vector<CV4PriceTimePtr> m_values; // in file order, owned; flags bit 1 = excluded

    QLineEdit *m_pathField = nullptr;      // children
    QTableView *m_table = nullptr;
    cv::ImportRowsModel *m_model = nullptr;
    QPushButton *m_okButton = nullptr;
    QMenu *m_menu = nullptr;
};
