#pragma once
// The securities window of one document window: the document's securities
// in their stored order, seven columns (kind, name, code or symbol, currency
// symbol, today's price, risk, shown). From here securities are created,
// edited, deleted, shown or hidden, reordered by drag and priced; every
// change is committed at once. Its sheets attach to this window.
//
// The table answers every cell from the document's list when painted; it
// copies nothing. Drags carry the dragged row under "CVv1-BrandDragAndDrop"
// and only drags that started in this table are taken.

#include "print/SecuritiesPrint.h"
#include "controls/MonitoredWindow.h"
#include "controls/Tags.h"
#include "model/Security.h"
#include "model/Node.h"
#include "platform/print/PrintRunner.h"

#include <QPointer>

#include <functional>
#include <memory>

class QMenuBar;
class QMimeData;
class QPushButton;
class QTableView;

namespace cv {

class Book;
class SecuritySheet;
class PricePanel;
class BookWindow;

class SecurityTableModel;

// A monitored window: the popup tracker sees its clicks first, and it keeps
// its frame on the visible part of the screen as the panels do.
class SecuritiesWindow : public MonitoredWindow {
    Q_OBJECT
public:
    // The window's commands.
    enum Tag { NewTag = tag::SecuritiesMenu.first, DeleteTag, PriceTag, ImportTag, VisibleTag };
    static_assert(VisibleTag == tag::SecuritiesMenu.last);
    enum Column {
        KindColumn = 0,
        NameColumn,
        CodeColumn,
        CurrencyColumn,
        PriceColumn,
        RiskColumn,
        VisibleColumn,
        ColumnCount
    };
    static constexpr const char *kDragFormat = "CVv1-BrandDragAndDrop";
    static constexpr const char *kFrameName = "BrandWindow";
    // The security a sheet added or edited; none after Cancel.
    using SecurityHandler = std::function<void(const SecurityPtr &security)>;

    SecuritiesWindow(BookWindow *owner, Book *document);
    ~SecuritiesWindow() override;

    QTableView *securityView() const { return m_securityView; }
    BookWindow *owner() const { return m_owner; }
    // The application's menu over the window's own, taken over.
    void setMenuBar(QMenuBar *bar);
    // The list is read again and the changed mark cleared.
    void enterSecurityView();
    void reloadSecurityView();
    bool securityChanged() const { return m_securityChanged; }
    QString securityStrValueForColumn(int column, int row) const;
    int selectedRow() const;
    SecurityPtr selectedSecurity() const;
    void selectRow(int row);

    // ---- commands
    bool validateMenuTag(int tag) const;
    void execMenu(int tag);
    // A new security's sheet; `done` gets the added security or none.
    // uniqueName: a security named like one in the list is refused ("ERR
    // group name") instead of added; the choosers' new-security row asks it.
    SecuritySheet *securityNewWithHandler(SecurityHandler done, bool uniqueName = false);
    SecuritySheet *editSecurity(const SecurityPtr &security);
    // The end of a security's sheet: on 1 a new security (ident below 0) is
    // added, an existing one only committed. Answers the security or none.
    SecurityPtr securitySheetDidEnd(int code, const SecurityPtr &security);
    bool hasSecurityNamed(const QString &name) const;
    // After a confirmation: the security with its holdings, prices and trades.
    bool maybeDeleteSecurity(const SecurityPtr &security);
    // After a confirmation: the security's holdings and trades in one investment account.
    bool maybeDeleteSecurity(const SecurityPtr &security, const NodePtr &account);
    void toggleSecurityVisible();
    PricePanel *securityPrice();
    void securityPriceSheetDidEnd(int code);
    // The price-list import for the selected security; its OK refreshes the prices shown.
    void securityImport();

    // ---- reordering by drag
    // The drag's data for a row.
    QMimeData *dragData(int row) const;
    // A drop before `row` (the row count: after the last); refused unless
    // the drag started in this window's table.
    bool acceptDrop(const QMimeData *data, int row, const QObject *source);

    // ---- printing the list
    std::unique_ptr<PrintedPages> prepareSecurityView(PageSetup &setup) const;
    QStringList securityReportCallback(const SecuritiesPrintParam &row) const;
    PrintRunner::Result printSecurityList(PrintRunner::Mode mode, const QString &pdfPath = {});

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void cellActivated(int row, int column);
    void updateButtons();
    void afterDelete();
    void saveFrame();
    void restoreFrame();

    BookWindow *m_owner;            // the document window; parent
    QPointer<Book> m_document;      // not owned; may close before the window goes
    SecurityTableModel *m_model;    // child
    QTableView *m_securityView;     // child
    QPushButton *m_buttons[5] = {}; // by tag - NewTag
    QPushButton *m_printButton = nullptr;
    bool m_securityChanged = false; // a change was made from this window
};

} // namespace cv
