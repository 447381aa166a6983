#pragma once
// The import sheets as a user meets them: choose the encoding and account,
// pick a sample file, click cells, pick in the chooser, use the context
// menu, press the buttons.

#include "controls/ChooserPopup.h"
#include "controls/ChooserList.h"
#include "import/ImportCSVSheet.h"
#include "import/ImportMobileDataSheet.h"
#include "import/ImportOFXSheet.h"
#include "import/ImportTextSheet.h"
#include "import/TransferImportDialog.h"
#include "panels/dialogs/CalendarWindow.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <climits>
#include <functional>
#include <vector>

template <class Sheet> class ImportPage {
public:
    template <class... Args> explicit ImportPage(Args &&...args) : sheet(std::forward<Args>(args)...)
    {
        // Cells as the table last heard of them: a change the sheet does not announce stays unseen.
        const QAbstractItemModel *model = sheet.tableView()->model();
        auto read = [this, model](int top, int bottom) {
            shown.resize(size_t(model->rowCount()), QStringList(model->columnCount()));
            for (int row = top; row <= std::min(bottom, model->rowCount() - 1); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    shown[size_t(row)][column] = model->index(row, column).data().toString();
        };
        QObject::connect(model, &QAbstractItemModel::modelReset, model, [read] { read(0, INT_MAX); });
        QObject::connect(model, &QAbstractItemModel::dataChanged, model,
                         [read](const QModelIndex &from, const QModelIndex &to) { read(from.row(), to.row()); });
        read(0, INT_MAX);
        sheet.show();
        QApplication::processEvents();
    }
    ~ImportPage() { cv::ChooserPopup::get()->mustClose(); }

    static QString samplePath(const char *name)
    {
        return QStringLiteral(CV_TEST_FIXTURES "/import/") + QLatin1String(name);
    }
    bool load(const char *name) { return loadPath(samplePath(name)); }
    bool loadPath(const QString &path)
    {
        const bool read = sheet.loadFile(path); // the open panel's OK
        QApplication::processEvents();          // the table lays out its new rows
        return read;
    }
    void click(int column, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTableView *table = sheet.tableView();
        table->scrollTo(table->model()->index(row, column));
        const QRect cell = table->visualRect(table->model()->index(row, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    void selectRows(const std::vector<int> &rows, int column = 0)
    {
        bool first = true;
        for (int row : rows) {
            click(column, row, first ? Qt::NoModifier : Qt::ControlModifier);
            first = false;
        }
    }
    void selectAll() { QTest::keyClick(sheet.tableView(), Qt::Key_A, Qt::ControlModifier); }
    void menu(int tag)
    {
        for (QAction *action : sheet.contextMenu()->actions())
            if (action->data().toInt() == tag && action->isEnabled()) action->trigger();
    }
    // Clicks the item of that name in the open chooser; false when none is open or has it.
    bool choose(const QString &name)
    {
        cv::ChooserPopup *popup = cv::ChooserPopup::existing();
        if (!popup || !popup->isVisible()) return false;
        cv::ChooserList *outline = popup->outline();
        const QAbstractItemModel *list = outline->model();
        QModelIndex found;
        std::function<void(const QModelIndex &)> find = [&](const QModelIndex &parent) {
            for (int row = 0; row < list->rowCount(parent) && !found.isValid(); ++row) {
                const QModelIndex index = list->index(row, 0, parent);
                if (index.data().toString() == name)
                    found = index;
                else if (list->rowCount(index) > 0) {
                    outline->expand(index);
                    find(index);
                }
            }
        };
        find(QModelIndex());
        if (!found.isValid()) return false;
        outline->scrollTo(found);
        const QPoint global = outline->viewport()->mapToGlobal(outline->visualRect(found).center());
        QTest::mouseClick(sheet.windowHandle(), Qt::LeftButton, {}, sheet.mapFromGlobal(global));
        return QTest::qWaitFor([popup] { return !popup->isVisible(); });
    }
    // Picks in a combo box: typed and Return in an editable one, else from its list.
    static void pick(QComboBox *box, const QString &name)
    {
        const int index = box->findText(name);
        if (index < 0) return;
        box->setFocus();
        if (box->isEditable()) {
            box->lineEdit()->selectAll();
            QTest::keyClicks(box->lineEdit(), name);
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        } else { // the list opened and the item clicked
            box->showPopup();
            QAbstractItemView *list = box->view();
            const QModelIndex item = list->model()->index(index, box->modelColumn(), box->rootModelIndex());
            list->scrollTo(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item).center());
        }
        QApplication::processEvents();
    }
    // A click inside the widget as the window system delivers it: a list
    // opened on the press gets the release, as on a desktop.
    void clickIn(QWidget *widget, int heldMs = 0)
    {
        const QPoint at = widget->mapTo(&sheet, widget->rect().center());
        QTest::mousePress(sheet.windowHandle(), Qt::LeftButton, {}, at);
        if (heldMs > 0) QTest::qWait(heldMs);
        QTest::mouseRelease(sheet.windowHandle(), Qt::LeftButton, {}, at);
    }
    // A day chosen in the calendar window and its jump: the selected rows take it.
    void jumpToDate(const QDate &date)
    {
        cv::CalendarWindow calendar;
        calendar.setCurrentDate(date);
        sheet.activateWindow();
        calendar.jumpTo();
    }
    void apply() { QTest::mouseClick(sheet.applyButton(), Qt::LeftButton); }
    void ok() { QTest::mouseClick(sheet.okButton(), Qt::LeftButton); }
    // A cell as the table shows it.
    QString text(int column, int row) const
    {
        return size_t(row) < shown.size() ? shown[size_t(row)].value(column) : QString();
    }

    Sheet sheet;
    std::vector<QStringList> shown; // the table's cells as last announced
    QAbstractItemModelTester tester{sheet.tableView()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

// The statement sheet reads statement files (data type 0).
class ImportSheetPage : public ImportPage<cv::ImportOFXSheet> {
public:
    explicit ImportSheetPage(cv::Book *document) : ImportPage(document, 0) {}
};
