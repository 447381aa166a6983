#pragma once
// What every import sheet has: the file row, the table of what was read with
// its context menu, the way the window opens the sheet, and OK (Return
// included) as the sheet's own commit.

#include "import/ImportRowsModel.h"
#include "controls/OpenSheet.h"

#include <QDialog>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QHBoxLayout;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace cv {

class Book;

class ImportSheet : public QDialog {
    Q_OBJECT
public:
    // Opens the sheet on the window under the sheet tracker; `done` gets 1
    // after a commit, 0 on Cancel.
    template <class Sheet> static Sheet *openOnWindow(Sheet *sheet, QWidget *parent, std::function<void(int)> done)
    {
        return openSheet<Sheet>(sheet, parent, [done = std::move(done)](int code, Sheet *) {
            if (done) done(code);
        });
    }

    void filePushed();
    // What the open panel's OK does: every row replaced by the file's; false
    // (after an alert naming the file) when nothing could be read.
    virtual bool loadFile(const QString &path) = 0;
    virtual void okPushed() = 0;
    void accept() override { okPushed(); }
    virtual void menuSelected(int tag) = 0;
    virtual QString cellText(int column, int row) const = 0;

    QPushButton *fileButton() const { return m_fileButton; }
    QTableView *tableView() const { return m_table; }
    QPushButton *okButton() const { return m_okButton; }
    QMenu *contextMenu() const { return m_menu; }

protected:
    ImportSheet(Book *document, QWidget *parent);

    // The file button and the path field, in a row the sheet may add to.
    QHBoxLayout *addFileRow(QVBoxLayout *layout, const QString &fileTypes = QString());
    void addTable(QVBoxLayout *layout, const QStringList &headers, ImportRowsModel::Client client);
    // The context menu's items, each calling menuSelected with its tag.
    void addMenu(std::initializer_list<std::pair<int, const char *>> items, int separatorBefore = 0);
    // Enables the context menu's items for the selection before it shows.
    virtual void updateMenu();
    virtual void updateButtons() = 0;
    void reload();
    std::vector<int> selectedRows() const; // ascending

    Book *m_document;                    // not owned; outlives the sheet
    QPushButton *m_fileButton = nullptr; // children
    QLineEdit *m_pathField = nullptr;
    QTableView *m_table = nullptr;
    ImportRowsModel *m_model = nullptr;
    QPushButton *m_okButton = nullptr;
    QMenu *m_menu = nullptr;

private:
    QString m_fileTypes; // the open panel's filter
};

} // namespace cv
