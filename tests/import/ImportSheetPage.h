#pragma once
// The statement import sheet as a user meets it: pick a sample file, click
// cells, pick in the chooser, use the context menu, press the buttons.

#include "controls/CustomPopup.h"
#include "controls/MyOutlineView.h"
#include "controls/PopupDataSource.h"
#include "import/ImportOFXPanelController.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>

class ImportSheetPage {
public:
    explicit ImportSheetPage(CV4Document *document) : sheet(document, 0)
    {
        sheet.show();
        QApplication::processEvents();
    }
    ~ImportSheetPage() { cv::CustomPopup::get()->mustClose(); }

    static QString samplePath(const char *name) { return QStringLiteral(CV_TEST_FIXTURES "/import/") + QLatin1String(name); }
    // The open panel's OK on a sample.
    bool load(const char *name)
    {
        const bool read = sheet.loadFile(samplePath(name));
        QApplication::processEvents();   // the table lays out its new rows
        return read;
    }

    void click(int column, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTableView *table = sheet.tableView();
        const QRect cell = table->visualRect(table->model()->index(row, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    void selectAll() { QTest::keyClick(sheet.tableView(), Qt::Key_A, Qt::ControlModifier); }
    void menu(int tag)
    {
        for (QAction *action : sheet.contextMenu()->actions())
            if (action->data().toInt() == tag) action->trigger();
    }
    // Clicks the item of that name in the open chooser; false when none is open or has it.
    bool choose(const QString &name)
    {
        cv::CustomPopup *popup = cv::CustomPopup::existing();
        if (!popup || !popup->isVisible()) return false;
        cv::MyOutlineView *outline = popup->outline();
        const QAbstractItemModel *list = outline->model();
        QModelIndex found;
        std::function<void(const QModelIndex &)> find = [&](const QModelIndex &parent) {
            for (int row = 0; row < list->rowCount(parent) && !found.isValid(); ++row) {
                const QModelIndex index = list->index(row, 0, parent);
                if (index.data().toString() == name) found = index;
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
    void apply() { QTest::mouseClick(sheet.applyButton(), Qt::LeftButton); }
    void ok() { QTest::mouseClick(sheet.okButton(), Qt::LeftButton); }
    QString text(int column, int row) const { return sheet.cellText(column, row); }

    ImportOFXPanelController sheet;
};
