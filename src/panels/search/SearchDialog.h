#pragma once
// The condition sheet of the search page: a period, accounts, categories, an
// amount range, a grouping and memo words. One sheet per window, shown again
// for every search, so the conditions stay as last set. It only collects the
// conditions; conditions() turns them into the store's search request.

#include "document/store/StoreRecords.h"
#include "model/Node.h"

#include <QDialog>

#include <array>
#include <utility>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace cv {

class Book;

class TickTree;
class DateField;

class SearchDialog : public QDialog {
    Q_OBJECT

public:
    // Condition bits of useFlags.
    enum Flag {
        UseDate = 1,
        UseValue = 2,
        UseAccount = 4,
        UseCategory = 8,
        UseGroup = 16,
        UseMemo = 32,
        MemoAnd = 0x100,
    };
    static constexpr int kMemoCells = 4;

    explicit SearchDialog(Book *doc, QWidget *parent = nullptr);
    ~SearchDialog() override;

    // The bits of the last end: the current conditions after OK, 0 after Cancel.
    int useFlags() const { return m_useFlags; }
    int currentFlags() const;

    std::pair<QDate, QDate> getPeriod() const;
    double getValue(int index) const;
    std::pair<double, double> getValueRange() const { return {getValue(0), getValue(1)}; }
    int getGrouping() const;
    // The non-empty memo words in order; empty unless the memo condition is in use.
    QStringList validMemoList() const;
    bool condIsAnd() const { return (m_useFlags & MemoAnd) != 0; }
    std::vector<NodePtr> selectedTickedAccounts() const;
    std::vector<NodePtr> selectedTradeAccounts() const;
    std::vector<NodePtr> selectedCategories() const;
    // The store's request for the conditions of useFlags.
    SearchConditions conditions() const;

    // Rebuilds the grouping list, keeping the selected index.
    void updateList();
    // Forgets the outlines' list state (their nodes may be gone).
    void clearList();

    void okPushed();
    void cancelPushed();
    void clearPushed();
    void checkToggled();

    QCheckBox *useDateCheckBox() const { return m_useDate; }
    QCheckBox *useValueCheckBox() const { return m_useValue; }
    QCheckBox *useGroupingCheckBox() const { return m_useGroup; }
    QCheckBox *useMemoCheckBox() const { return m_useMemo; }
    cv::DateField *dateField(int index) const { return m_dateFields[index == 0 ? 0 : 1]; }
    QLineEdit *valueCell(int index) const { return m_valueCells[index == 0 ? 0 : 1]; }
    QLineEdit *memoCell(int index) const { return m_memoCells[index]; }
    QRadioButton *andButton() const { return m_andButton; }
    QComboBox *groupingPopUp() const { return m_groupingPopUp; }
    cv::TickTree *accountView() const { return m_accountView; }
    cv::TickTree *categoryView() const { return m_categoryView; }

private:
    Book *m_doc; // not owned; outlives the sheet
    int m_useFlags = 0;
    QCheckBox *m_useDate;
    QCheckBox *m_useValue;
    QCheckBox *m_useGroup;
    QCheckBox *m_useMemo;
    std::array<cv::DateField *, 2> m_dateFields;
    std::array<QLineEdit *, 2> m_valueCells;
    std::array<QLineEdit *, kMemoCells> m_memoCells;
    QRadioButton *m_orButton;
    QRadioButton *m_andButton;
    QComboBox *m_groupingPopUp;
    cv::TickTree *m_accountView;
    cv::TickTree *m_categoryView;
};

} // namespace cv
