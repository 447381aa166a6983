#pragma once
// The small application-modal window in which pending mobile-import entries
// become transfers: a source, a destination and, for one entry whose two
// accounts keep different currencies, the amount that arrives. Only OK
// changes the entries; Esc, Cancel and the close box leave them as they were.

#include "model/Entry.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cv {

class Book;

class AccountChooserModel;

class TransferImportDialog : public QDialog {
    Q_OBJECT
public:
    enum Side { Source = 0, Destination = 1 };

    explicit TransferImportDialog(QWidget *parent = nullptr);
    ~TransferImportDialog() override;

    // Opens with the top-left corner at the screen point and returns at once;
    // `finished` runs after OK has written the entries.
    void runWithDocument(Book *document, std::function<void()> finished, std::vector<EntryPtr> entries,
                         const QPoint &origin);

    int account() const { return m_account; }
    QComboBox *accountButton() const { return m_boxes[Source]; }
    QComboBox *destinationButton() const { return m_boxes[Destination]; }
    QLineEdit *destinationField() const { return m_fields[Destination]; }
    QPushButton *okButton() const { return m_okButton; }

    void ok();
    void cancel();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fillControls();
    void updateFields();
    void updateOKButton();
    void changedChoice(Side side, int index);
    void fieldEdited(Side side);
    void select(Side side);
    double numberIn(Side side) const;
    void settle();
    void forget(); // settles without changes and lets go of the entries

    QComboBox *m_boxes[2];                         // children
    QLineEdit *m_fields[2];                        // amount out of the source, into the destination; children
    QLabel *m_signs[2];                            // the currencies' prefixes; children
    QLabel *m_arrow;                               // child
    QPushButton *m_okButton;                       // child
    Book *m_document = nullptr;                    // not owned
    std::function<void()> m_finished;              // the import sheet's
    std::vector<EntryPtr> m_entries;               // the entries to change, the sheet's
    std::unique_ptr<cv::AccountChooserModel> m_ds; // the accounts offered, made once
    int m_account = 0;                             // chosen source (0 none)
    int m_destination = 0;                         // chosen destination (0 none)
    QPoint m_origin;                               // the window's top-left on the screen
    bool m_done = true;                            // the outcome of this run is settled
};

} // namespace cv
