#pragma once
// The book's groupings: add, rename in place, delete (refused while entries
// use the grouping), reorder by dragging. The list holds the document's own
// grouping objects, so renames act at once; a drop reorders and commits the
// document's list at once; additions and deletions reach the document at
// OK, which commits the list and announces each removed grouping
// (Book::groupDeleted). Cancel, Esc and the close box give back the
// names renamed here (committing again when a drop stored them).
//
// A drop is applied to the document by ident, not by position: groupings
// marked deleted are missing from the dialog's list but still in the
// document's until OK.

#include "model/Grouping.h"

#include <QDialog>

#include <utility>
#include <vector>

class QMimeData;
class QPushButton;

namespace cv {

class Book;
class GroupTableView;

class GroupDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *kDragType = "CVv1-DragDropKeyword";

    GroupDialog(Book *document, int currentValue, QWidget *parent = nullptr);
    ~GroupDialog() override;

    // Runs the dialog application-modal; true after OK.
    static bool runGroupDialog(Book *document, int currentValue, QWidget *parent);

    const std::vector<GroupingPtr> &items() const { return m_items; }
    const std::vector<GroupingPtr> &deletedItems() const { return m_deletedItems; }
    GroupTableView *listView() const { return m_listView; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }
    QPushButton *okButton() const { return m_okButton; }
    int selectedRow() const;
    void selectRow(int row);

    void addPushed();
    void deletePushed();
    // OK: false while a name is empty (the dialog stays open).
    bool okPushed();
    void cancelPushed();
    void reject() override { cancelPushed(); }
    void accept() override { okPushed(); }

    // The list's edits: a rename, a drag's data (none while new groupings
    // wait for OK) and a drop of row `source` above row `target`.
    void rename(int row, const QString &name);
    QMimeData *dragData(int row);
    bool acceptDrop(int source, int target);

private:
    class Model;

    bool isUsing(const QString &name) const;
    bool isUsedByEntries(const Grouping &grouping) const;
    int documentIndex(const Grouping &grouping) const;
    void reload();
    void setButtons();

    Book *m_document;                                       // not owned
    std::vector<GroupingPtr> m_items;                       // the list shown: the document's objects and new ones
    std::vector<GroupingPtr> m_deletedItems;                // stored groupings deleted here, until OK
    std::vector<std::pair<GroupingPtr, QString>> m_renamed; // stored groupings renamed here, first names
    int m_currentValue;                                     // grouping to preselect; 0 none
    bool m_dropCommitted = false;                           // a drop stored the list (with any renames)
    bool m_closing = false;                                 // OK is storing the name being typed
    bool m_blockClose = false;                              // that name was empty
    bool m_ended = false;                                   // OK or Cancel done: late edits are dropped
    Model *m_model;                                         // children
    GroupTableView *m_listView;
    QPushButton *m_addButton;
    QPushButton *m_deleteButton;
    QPushButton *m_okButton = nullptr;
};

} // namespace cv
