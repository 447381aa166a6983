#include "mainwindow/SecuritiesWindow.h"

#include "controls/DialogButtons.h"
#include "print/PrintPages.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "document/EditScope.h"
#include "import/ImportCSVSheet.h"
#include "mainwindow/BookWindow.h"
#include "model/ExtraInterfaces.h"
#include "model/DomainEnums.h"
#include "panels/sheets/SecuritySheet.h"
#include "panels/entry/PricePanel.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QAbstractTableModel>
#include <QDataStream>
#include <QDrag>
#include <QDragMoveEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

namespace cv {

// The table's rows are the document's list; cells are asked of the window.
class SecurityTableModel : public QAbstractTableModel {
public:
    SecurityTableModel(SecuritiesWindow *window, Book *document)
        : QAbstractTableModel(window), m_window(window), m_document(document)
    {
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_document ? 0 : int(m_document->securityList().size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : SecuritiesWindow::ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid()) return {};
        if (index.column() == SecuritiesWindow::VisibleColumn) {
            if (role != Qt::CheckStateRole) return {};
            return m_window->securityStrValueForColumn(index.column(), index.row()) == QLatin1String("1")
                       ? Qt::Checked
                       : Qt::Unchecked;
        }
        if (role == Qt::DisplayRole) return m_window->securityStrValueForColumn(index.column(), index.row());
        if (role == Qt::TextAlignmentRole && index.column() == SecuritiesWindow::PriceColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return localizedString(QStringLiteral("Brand-Column-%1").arg(section));
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid()) return Qt::ItemIsDropEnabled;
        // The shown mark changes only through the show / hide command.
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    }
    QStringList mimeTypes() const override { return {QString::fromLatin1(SecuritiesWindow::kDragFormat)}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        int row = -1;
        for (const QModelIndex &index : indexes) row = std::max(row, index.row());
        return row < 0 ? nullptr : m_window->dragData(row);
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    void reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    SecuritiesWindow *m_window; // parent
    QPointer<Book> m_document;  // not owned; may close first
};

namespace {

// Drops land between rows, above the row under the pointer; only drags of
// this table are taken.
class SecurityTableView : public QTableView {
public:
    SecurityTableView(SecuritiesWindow *window) : QTableView(window), m_window(window) {}

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (event->source() != this ||
            !event->mimeData()->hasFormat(QString::fromLatin1(SecuritiesWindow::kDragFormat))) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (event->source() != this) {
            event->ignore();
            return;
        }
        QTableView::dragMoveEvent(event);
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    void dropEvent(QDropEvent *event) override
    {
        const QModelIndex at = indexAt(event->position().toPoint());
        int row = at.isValid() ? at.row() : model()->rowCount();
        if (at.isValid() && event->position().y() > visualRect(at).center().y()) ++row;
        // Copy, not move: the view must not remove the dragged row itself.
        event->setDropAction(Qt::CopyAction);
        if (m_window->acceptDrop(event->mimeData(), row, event->source()))
            event->accept();
        else
            event->ignore();
    }

private:
    SecuritiesWindow *m_window; // parent
};

} // namespace

SecuritiesWindow::SecuritiesWindow(BookWindow *owner, Book *document)
    : MonitoredWindow(owner), m_owner(owner), m_document(document), m_model(new SecurityTableModel(this, document)),
      m_securityView(new SecurityTableView(this))
{
    Q_ASSERT(owner && document);
    setObjectName(QString::fromLatin1(kFrameName));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_securityView->setModel(m_model);
    m_securityView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_securityView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_securityView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_securityView->verticalHeader()->hide();
    m_securityView->setWordWrap(false);
    m_securityView->setDragEnabled(true);
    m_securityView->setAcceptDrops(true);
    m_securityView->setDropIndicatorShown(true);
    m_securityView->setDragDropMode(QAbstractItemView::DragDrop);
    m_securityView->setDefaultDropAction(Qt::CopyAction);
    m_securityView->horizontalHeader()->setStretchLastSection(false);
    const int widths[ColumnCount] = {120, 200, 80, 70, 110, 70, 60};
    for (int c = 0; c < ColumnCount; ++c) m_securityView->setColumnWidth(c, widths[c]);
    m_securityView->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_securityView->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    const std::pair<int, const char *> commands[] = {{NewTag, "Brand-New"},
                                                     {DeleteTag, "Brand-Delete"},
                                                     {PriceTag, "Brand-Price"},
                                                     {ImportTag, "Brand-Import"},
                                                     {VisibleTag, "Brand-Toggle-Visible"}};
    for (const auto &[tag, key] : commands) {
        auto *button = new QPushButton(cv::localizedString(key), this);
        cv::giveTitleRoom(button);
        button->setAutoDefault(false);
        m_buttons[tag - NewTag] = button;
        bar->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, t = tag] { execMenu(t); });
    }
    bar->addStretch(1);
    m_printButton = new QPushButton(cv::localizedString("Brand-Print"), this);
    m_printButton->setAutoDefault(false);
    bar->addWidget(m_printButton);
    layout->addLayout(bar);
    layout->addWidget(m_securityView, 1);

    connect(m_printButton, &QPushButton::clicked, this, [this] { printSecurityList(PrintRunner::Mode::Dialog); });
    connect(m_securityView, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { cellActivated(index.row(), index.column()); });
    connect(m_securityView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SecuritiesWindow::updateButtons);
    connect(m_securityView, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(this);
        for (int tag = NewTag; tag <= VisibleTag; ++tag) {
            QAction *action = menu.addAction(m_buttons[tag - NewTag]->text());
            action->setData(tag);
            action->setEnabled(validateMenuTag(tag));
        }
        if (QAction *chosen = menu.exec(m_securityView->viewport()->mapToGlobal(at))) execMenu(chosen->data().toInt());
    });
    // A security added elsewhere (the trade dialog, a script) shows here too.
    connect(m_document, &Book::securityChanged, this, [this] {
        if (isVisible()) reloadSecurityView();
    });
    connect(m_document, &Book::aboutToSave, this, &SecuritiesWindow::saveFrame);

    resize(800, 360);
    restoreFrame();
    updateButtons();
}

SecuritiesWindow::~SecuritiesWindow() = default;

void SecuritiesWindow::setMenuBar(QMenuBar *bar)
{
    layout()->setMenuBar(bar);
}

void SecuritiesWindow::restoreFrame()
{
    const QByteArray frame = QSettings().value(QString::fromLatin1(kFrameName)).toByteArray();
    if (!frame.isEmpty()) restoreGeometry(frame);
}

void SecuritiesWindow::saveFrame()
{
    QSettings().setValue(QString::fromLatin1(kFrameName), saveGeometry());
}

void SecuritiesWindow::enterSecurityView()
{
    reloadSecurityView();
    m_securityChanged = false;
}

void SecuritiesWindow::reloadSecurityView()
{
    const int row = selectedRow();
    m_model->reload();
    if (row >= 0 && row < m_model->rowCount()) selectRow(row);
    updateButtons();
}

QString SecuritiesWindow::securityStrValueForColumn(int column, int row) const
{
    if (!m_document) return {};
    const auto &list = m_document->securityList();
    if (row < 0 || row >= int(list.size()) || !list[size_t(row)]) return {};
    const Security &security = *list[size_t(row)];
    switch (column) {
    case KindColumn: return security.kindName();
    case NameColumn: return security.name();
    case CodeColumn:
        if (!security.symbol().isEmpty()) return security.symbol();
        return security.code() > 0 ? QString::number(security.code()) : QString();
    case CurrencyColumn: {
        const CurrencyPtr currency = m_document->findCurrency(security.currency());
        return currency ? currency->prefix() : QString();
    }
    case PriceColumn: {
        const double price = m_document->securityPrice(list[size_t(row)], QDate::currentDate());
        if (security.kind() == cv::SecurityKind::Stock)
            return m_document->amountText().centStringForValue(price, security.currency());
        return m_document->stringForFundValue(price, security.currency(), false, true);
    }
    case RiskColumn: return security.riskDescription();
    case VisibleColumn: return QString::number(security.isVisible() ? 1 : 0);
    default: return {};
    }
}

int SecuritiesWindow::selectedRow() const
{
    const QModelIndexList rows = m_securityView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

SecurityPtr SecuritiesWindow::selectedSecurity() const
{
    const int row = selectedRow();
    if (!m_document) return nullptr;
    const auto &list = m_document->securityList();
    return row >= 0 && row < int(list.size()) ? list[size_t(row)] : nullptr;
}

void SecuritiesWindow::selectRow(int row)
{
    if (row >= 0 && row < m_model->rowCount())
        m_securityView->selectRow(row);
    else
        m_securityView->clearSelection();
}

void SecuritiesWindow::updateButtons()
{
    for (int tag = NewTag; tag <= VisibleTag; ++tag) m_buttons[tag - NewTag]->setEnabled(validateMenuTag(tag));
}

void SecuritiesWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        execMenu(DeleteTag);
        return;
    }
    MonitoredWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- commands

bool SecuritiesWindow::validateMenuTag(int tag) const
{
    if (!m_document) return false;
    switch (tag) {
    case NewTag: return true;
    case DeleteTag:
    case PriceTag:
    case ImportTag:
    case VisibleTag: return selectedRow() >= 0;
    default: return false;
    }
}

void SecuritiesWindow::execMenu(int tag)
{
    if (!validateMenuTag(tag)) return;
    switch (tag) {
    case NewTag: securityNewWithHandler(nullptr); break;
    case DeleteTag: maybeDeleteSecurity(selectedSecurity()); break;
    case PriceTag: securityPrice(); break;
    case ImportTag: securityImport(); break;
    case VisibleTag: toggleSecurityVisible(); break;
    default: break;
    }
}

void SecuritiesWindow::cellActivated(int row, int column)
{
    if (row < 0 || row >= m_model->rowCount() || column == VisibleColumn) return;
    selectRow(row);
    if (column == PriceColumn)
        securityPrice();
    else
        editSecurity(selectedSecurity());
}

SecuritySheet *SecuritiesWindow::securityNewWithHandler(SecurityHandler done, bool uniqueName)
{
    if (!m_document) return nullptr;
    // Refused before the sheet, so that nothing typed is lost.
    if (!m_document->newSecurityIdent()) {
        cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Security"), this);
        if (done) done(nullptr);
        return nullptr;
    }
    auto security = std::make_shared<Security>();
    security->setCurrency(m_document->defaultCurrency() ? m_document->defaultCurrency()->ident() : 0);
    QPointer<SecuritiesWindow> self(this);
    return SecuritySheet::openSecuritySheet(
        m_document, security, true, this, [self, security, done, uniqueName](int code, SecuritySheet *) {
            if (code == 1 && uniqueName && self && self->hasSecurityNamed(security->name())) {
                const QString refusal = localizedString(QStringLiteral("ERR group name"));
                Alert::alert(refusal, refusal);
                if (done) done(nullptr);
                return;
            }
            const SecurityPtr added = self ? self->securitySheetDidEnd(code, security) : nullptr;
            if (done) done(added);
        });
}

bool SecuritiesWindow::hasSecurityNamed(const QString &name) const
{
    const auto &list = m_document->securityList();
    return std::any_of(list.begin(), list.end(), [&](const SecurityPtr &b) { return b && b->name() == name; });
}

SecuritySheet *SecuritiesWindow::editSecurity(const SecurityPtr &security)
{
    if (!security) return nullptr;
    QPointer<SecuritiesWindow> self(this);
    return SecuritySheet::openSecuritySheet(m_document, security, false, this,
                                            [self, security](int code, SecuritySheet *) {
                                                if (self) self->securitySheetDidEnd(code, security);
                                            });
}

SecurityPtr SecuritiesWindow::securitySheetDidEnd(int code, const SecurityPtr &security)
{
    if (code != 1 || !security || !m_document) return nullptr;
    {
        EditScope edit(*m_document);
        // Only a new security joins the list: an edited one is there already,
        // and adding it again would give it a new ident away from its
        // prices, trades and holdings.
        const bool isNew = security->ident() < 0;
        if (isNew && !m_document->addSecurity(security)) {
            cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Security"), this);
            return nullptr;
        }
        m_document->commitSecurityList();
    }
    reloadSecurityView();
    const auto &list = m_document->securityList();
    const auto at = std::find(list.begin(), list.end(), security);
    // An edit taken back read the list again: the sheet's security is none of the book's.
    if (at == list.end()) return nullptr;
    selectRow(int(at - list.begin()));
    m_securityChanged = true;
    return security;
}

bool SecuritiesWindow::maybeDeleteSecurity(const SecurityPtr &security)
{
    if (!security || !m_document) return false;
    if (!Alert::confirm(cv::localizedString("brand delete"),
                        formatString(cv::localizedString("brand delete message"), {security->name()})))
        return false;
    if (!m_document->deleteSecurity(security)) return false;
    afterDelete();
    return true;
}

bool SecuritiesWindow::maybeDeleteSecurity(const SecurityPtr &security, const NodePtr &account)
{
    if (!security || !account || !m_document) return false;
    if (!Alert::confirm(cv::localizedString("brand delete"),
                        formatString(cv::localizedString("account-only-brand delete message"),
                                     {m_document->displayName(*account), security->name()})))
        return false;
    if (!m_document->removeHolding(account, security->ident())) return false;
    afterDelete();
    return true;
}

void SecuritiesWindow::afterDelete()
{
    reloadSecurityView();
    m_securityChanged = true;
}

void SecuritiesWindow::toggleSecurityVisible()
{
    const SecurityPtr security = selectedSecurity();
    Q_ASSERT(!security || m_document);
    if (!security) return;
    security->setVisible(!security->isVisible());
    m_document->commitSecurityList();
    reloadSecurityView();
    m_securityChanged = true;
}

PricePanel *SecuritiesWindow::securityPrice()
{
    const SecurityPtr security = selectedSecurity();
    if (!security) return nullptr;
    QPointer<SecuritiesWindow> self(this);
    return PricePanel::openPricePanel(m_document, security, nullptr, m_owner->topDate(), this,
                                      [self](int code, PricePanel *) {
                                          if (self) self->securityPriceSheetDidEnd(code);
                                      });
}

void SecuritiesWindow::securityPriceSheetDidEnd(int code)
{
    // The list or the import refreshed the price cache and announced the change with its commit.
    if (code != 1) return;
    reloadSecurityView();
    m_securityChanged = true;
}

void SecuritiesWindow::securityImport()
{
    const SecurityPtr security = selectedSecurity();
    if (!security) return;
    QPointer<SecuritiesWindow> self(this);
    ImportCSVSheet::openForSecurity(m_document, security->ident(), this, [self](int code) {
        if (self && self->m_document) self->securityPriceSheetDidEnd(code);
    });
}

// ---------------------------------------------------------------- dragging

QMimeData *SecuritiesWindow::dragData(int row) const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << qint32(row);
    auto *data = new QMimeData;
    data->setData(QString::fromLatin1(kDragFormat), bytes);
    return data;
}

bool SecuritiesWindow::acceptDrop(const QMimeData *data, int row, const QObject *source)
{
    if (!m_document || source != m_securityView || !data || !data->hasFormat(QString::fromLatin1(kDragFormat)))
        return false;
    QDataStream stream(data->data(QString::fromLatin1(kDragFormat)));
    qint32 from = -1;
    stream >> from;
    const int count = int(m_document->securityList().size());
    if (stream.status() != QDataStream::Ok || from < 0 || from >= count || row < 0 || row > count) return false;
    if (from == row) return true;
    m_document->changeSecurityOrder(from, row);
    m_document->commitSecurityList();
    reloadSecurityView();
    selectRow(row > from ? row - 1 : row);
    m_securityChanged = true;
    return true;
}

// ---------------------------------------------------------------- printing

QStringList SecuritiesWindow::securityReportCallback(const SecuritiesPrintParam &row) const
{
    Q_ASSERT(m_document);
    if (row.level() == PrintedPagesParam::Header) return SecuritiesPrint::headerTitles();
    QStringList cells;
    for (int column = KindColumn; column <= RiskColumn; ++column)
        cells << securityStrValueForColumn(column, row.index());
    return cells;
}

std::unique_ptr<PrintedPages> SecuritiesWindow::prepareSecurityView(PageSetup &setup) const
{
    if (!m_document) return nullptr;
    std::vector<SecuritiesPrintParam> rows;
    rows.emplace_back(PrintedPagesParam::Header, 0);
    for (int i = 0; i < int(m_document->securityList().size()); ++i) rows.emplace_back(0, i);
    auto callback = [this](const SecuritiesPrintParam &row) { return securityReportCallback(row); };
    return std::make_unique<SecuritiesPrint>(callback, std::move(rows), setup);
}

PrintRunner::Result SecuritiesWindow::printSecurityList(PrintRunner::Mode mode, const QString &pdfPath)
{
    if (!m_document) return {};
    const Preference preference = m_owner->preference() ? *m_owner->preference() : Preference::fromUserDefaults();
    const PagesMaker make = [this](PageSetup &setup) { return prepareSecurityView(setup); };
    return printPages(*m_document, preference, make, this, mode, pdfPath);
}

} // namespace cv
