#pragma once
// The dialog that picks the category to receive every entry of one income
// or expense category: the categories of the same kind in one flat list.
// It ends with the chosen category's ident, or 0 on Cancel or with nothing
// chosen; the source category itself is never accepted. The opener moves
// the entries.

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace cv {

class Book;

class CategoryChooserModel;

class MergeCategoryDialog : public QDialog {
    Q_OBJECT
public:
    MergeCategoryDialog(Book *document, int category, QWidget *parent = nullptr);
    ~MergeCategoryDialog() override;

    // Runs the dialog application-modal; the chosen ident or 0.
    static int runMergePanel(Book *document, int category, QWidget *parent);

    QLabel *sourceField() const { return m_sourceField; }
    QComboBox *targetButton() const { return m_targetButton; }
    QPushButton *okButton() const { return m_okButton; }
    bool isExpense() const { return m_isExpense; }
    // The ident of the chosen category; 0 when none.
    int chosenIdent() const;

    void okPushed() { done(chosenIdent()); }
    void cancelPushed() { done(0); }
    void accept() override { okPushed(); }

private:
    void setButtons();

    Book *m_document;                               // not owned
    std::unique_ptr<cv::CategoryChooserModel> m_ds; // the flat list behind the combo box
    int m_category;                                 // the source category
    bool m_isExpense = false;
    QLabel *m_sourceField; // children
    QComboBox *m_targetButton;
    QPushButton *m_okButton = nullptr;
};

} // namespace cv
