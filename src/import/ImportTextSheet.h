#pragma once
// The text statement import sheet: a comma- or tab-separated statement of
// one account of the book (the import account) is read in the encoding the
// user chose; the user gives each row its category or transfer partner,
// helped by learned mapping 104, and OK writes the rows in one edit.

#include "controls/Tags.h"
#include "import/EntryImportSheet.h"
#include "import/TextStatementReader.h"

#include <QStringList>

#include <vector>

class QComboBox;

namespace cv {

class ImportTextSheet : public cv::EntryImportSheet {
    Q_OBJECT
public:
    enum Column {
        DateColumn,
        MemoColumn,
        IncomeColumn,
        ExpenseColumn,
        CategoryColumn,
        PartnerColumn,
        TextColumn,
        ColumnCount
    };
    enum MenuTag { MenuPartner = cv::tag::TextImportMenu.first, MenuCategory, MenuReject, MenuAccept };
    static_assert(MenuAccept == cv::tag::TextImportMenu.last);

    explicit ImportTextSheet(Book *document, QWidget *parent = nullptr);

    // Reads in the encoding the file appears to have, and shows it.
    bool loadFile(const QString &path) override;
    // The file read again in the encoding the user chose.
    void encodingChosen();
    void accountPushed(int index);
    void okPushed() override;
    void menuSelected(int tag) override;
    Q_INVOKABLE void performInputDate(const QDate &date) { setSelectedDates(date); }

    const std::vector<EntryPtr> &rows() const { return m_rows; }
    int importAccount() const { return m_importAccount; }
    bool isValid(const Entry &row) const override;
    QString cellText(int column, int row) const override;
    // The notice's lines that come from the file alone: heads out of place
    // and the lines that gave no row.
    static QStringList fileNotices(const TextStatementRead &read);

    QComboBox *encodingBox() const { return m_encodingBox; }
    QComboBox *accountBox() const { return m_accountBox; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int pendingCount() const override { return int(m_rows.size()); }
    Entry &pendingEntry(int row) const override { return *m_rows[size_t(row)]; }
    // An incoming row's partner is its source: the import account goes in at commit.
    void assignCategory(Entry &row, int category) const override;
    void assignPartner(Entry &row, int partner) const override;
    void buildWindow();
    void updateMenu() override;
    void updateButtons() override;
    void initializeMapping();
    void handleClick(int column, int row) override;
    void changeCategory(int row);
    void changeAccount(int row);
    void endPopup(int row, int ident, bool partner);
    int partnerOf(const Entry &row) const;
    int firstOpenRow() const; // the first selected row not rejected; -1 for none
    QStringList mappingKey(int row) const;
    bool commitRows(bool applyDefaults);
    bool readRows();

    QByteArray m_data; // the picked file's bytes

    std::vector<EntryPtr> m_rows; // pending rows in file order, owned
    QStringList m_texts;          // each row's category text
    int m_importAccount = -1;     // none chosen yet

    QComboBox *m_encodingBox = nullptr; // children
    QComboBox *m_accountBox = nullptr;
};

} // namespace cv
