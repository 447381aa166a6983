#include "charts/ChartSheet.h"

#include "charts/StackedColumnChart.h"
#include "charts/LineChart.h"
#include "charts/PieChart.h"
#include "controls/TickTree.h"
#include "controls/DateField.h"
#include "document/Book.h"
#include "document/OpenBooks.h"
#include "document/Preference.h"
#include "model/DomainEnums.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cv {

namespace {

Q_LOGGING_CATEGORY(lcChartSheet, "corvane.charts")

constexpr int kMinWidth = 459;
constexpr int kMinHeight = 433;

// A unit that would become a chart item of its own when ticked.
bool isGraphableAndNotSelected(const Node &unit)
{
    using cv::NodeKind;
    const auto kind = unit.kind();
    return unit.status() == 0 && kind != NodeKind::Holding && kind != NodeKind::CashPart &&
           kind != NodeKind::SectionRoot && kind != NodeKind::Group;
}

void collect(std::vector<NodePtr> &list, const NodePtr &unit)
{
    if (unit->deepStatus() == 0) return;
    if (unit->kind() == cv::NodeKind::Investment || unit->countChild() == 0) {
        list.push_back(unit);
        return;
    }
    for (const NodePtr &child : unit->children()) collect(list, child);
}

} // namespace

ChartSheet::ChartSheet(Book *document, const Preference &preference, QWidget *parent)
    : QDialog(parent), m_doc(document), m_preference(preference), m_tabView(new QTabWidget(this)),
      m_accView(new cv::TickTree), m_actView(new cv::TickTree),
      m_fromLabel(new QLabel(cv::localizedString("Chart-From"), this)),
      m_toLabel(new QLabel(cv::localizedString("Chart-To"), this)), m_fromDateField(new cv::DateField(this)),
      m_toDateField(new cv::DateField(this)), m_intervalButton(new QComboBox(this)), m_paramButton(new QComboBox(this)),
      m_closeButton(new QPushButton(cv::localizedString("Chart-Close"), this)),
      m_previewButton(new QPushButton(cv::localizedString("Report-Sheet-Preview"), this)),
      m_drawButton(new QPushButton(cv::localizedString("Chart-Draw"), this))
{
    // Says which book a chart run belongs to when several are open.
    if (document) qCInfo(lcChartSheet).noquote() << QStringLiteral("doc: %1").arg(OpenBooks::displayName(*document));
    setWindowTitle(cv::localizedString("Chart-Window-Title"));
    m_tabView->addTab(m_accView, cv::localizedString("Chart-Tab-Accounts"));
    m_tabView->addTab(m_actView, cv::localizedString("Chart-Tab-Categories"));
    for (cv::TickTree *view : {m_accView, m_actView}) {
        view->setToggleClient(this);
        // Names take the room, the kind as much as it needs. The tick beside
        // the name says what is charted: a column repeating ticked names adds nothing.
        view->header()->setStretchLastSection(false);
        view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        view->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        view->setColumnHidden(2, true);
    }
    // The interval's data is the chart option: bit 0 monthly.
    m_intervalButton->addItem(cv::localizedString("Chart-Interval-Daily"), 0);
    m_intervalButton->addItem(cv::localizedString("Chart-Interval-Monthly"), SeriesChart::kMonthly);
    m_paramButton->addItem(cv::localizedString("Chart-Kind-Line"), Line);
    m_paramButton->addItem(cv::localizedString("Chart-Kind-Bar"), Bar);
    m_paramButton->addItem(cv::localizedString("Chart-Kind-Pie"), Pie);

    auto *form = new QGridLayout;
    form->addWidget(m_fromLabel, 0, 0);
    form->addWidget(m_fromDateField, 0, 1);
    form->addWidget(m_toLabel, 0, 2);
    form->addWidget(m_toDateField, 0, 3);
    form->addWidget(new QLabel(cv::localizedString("Chart-Interval"), this), 1, 0);
    form->addWidget(m_intervalButton, 1, 1);
    form->addWidget(new QLabel(cv::localizedString("Chart-Kind"), this), 1, 2);
    form->addWidget(m_paramButton, 1, 3);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_closeButton, QDialogButtonBox::RejectRole);
    buttons->addButton(m_previewButton, QDialogButtonBox::ActionRole);
    buttons->addButton(m_drawButton, QDialogButtonBox::ActionRole);
    m_drawButton->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabView, 1);
    layout->addLayout(form);
    layout->addWidget(buttons);

    const QDate today = QDate::currentDate();
    setDate(QDate(today.year(), 1, 1), 0);
    setDate(QDate(today.year(), 1, 1).addYears(1).addDays(-1), 1);
    m_actView->setDocument(document, false);
    m_accView->setDocument(document, true);

    connect(m_closeButton, &QPushButton::clicked, this, &ChartSheet::closePushed);
    connect(m_drawButton, &QPushButton::clicked, this, [this] { print(cv::PrintRunner::Mode::Dialog); });
    connect(m_previewButton, &QPushButton::clicked, this, [this] { print(cv::PrintRunner::Mode::Preview); });
    connect(m_tabView, &QTabWidget::currentChanged, this, [this] { paramChanged(); });
    connect(m_paramButton, &QComboBox::currentIndexChanged, this, [this] { paramChanged(); });
    for (cv::DateField *field : {m_fromDateField, m_toDateField}) {
        connect(field, &cv::DateField::dateChanged, this, [this] { updateButtons(); });
        connect(field, &cv::DateField::textChanged, this, [this] { updateButtons(); });
    }
    paramChanged();
    setMinimumSize(kMinWidth, kMinHeight);
    resize(std::max(kMinWidth, sizeHint().width()), std::max(kMinHeight, sizeHint().height()));
}

ChartSheet::~ChartSheet()
{
    // The ticks live in the book's nodes: none may outlast the sheet.
    for (cv::TickTree *view : {m_accView, m_actView}) {
        view->deselectAllNodes();
        view->setToggleClient(nullptr);
    }
}

int ChartSheet::tab() const
{
    return m_tabView->currentIndex() == 1 ? 1 : 0;
}

cv::TickTree *ChartSheet::outline() const
{
    return tab() == 0 ? m_accView : m_actView;
}

std::optional<QDate> ChartSheet::getDate(int which) const
{
    return (which == 0 ? m_fromDateField : m_toDateField)->date();
}

void ChartSheet::setDate(const QDate &date, int which)
{
    (which == 0 ? m_fromDateField : m_toDateField)->setDate(date);
}

bool ChartSheet::pieOfAccounts() const
{
    return m_paramButton->currentIndex() == Pie && tab() == 0;
}

void ChartSheet::paramChanged()
{
    updateButtons();
    const bool pie = m_paramButton->currentIndex() == Pie;
    if (pie) {
        m_intervalButton->setCurrentIndex(0);
        m_intervalButton->setEnabled(false);
    } else {
        m_intervalButton->setEnabled(true);
    }
    // A pie of accounts is drawn on the from date alone.
    const bool toUsed = !pieOfAccounts();
    m_fromLabel->setEnabled(toUsed);
    m_toLabel->setEnabled(toUsed);
    m_toDateField->setEnabled(toUsed);
}

void ChartSheet::updateButtons()
{
    bool enabled = false;
    const std::optional<QDate> from = getDate(0);
    if (from) {
        const std::optional<QDate> to = getDate(1);
        const bool datesOk = pieOfAccounts() || (to && *from <= *to);
        const auto &roots = outline()->roots();
        const bool ticked = std::any_of(roots.begin(), roots.end(),
                                        [](const NodePtr &root) { return root && root->deepStatus() != 0; });
        enabled = datesOk && ticked;
    }
    m_drawButton->setEnabled(enabled);
    m_previewButton->setEnabled(enabled);
}

void ChartSheet::toggleItem(const QModelIndex &index)
{
    Node *node = m_accView->nodeAt(index);
    if (!node) node = m_actView->nodeAt(index);
    if (node) toggleNode(*node);
}

void ChartSheet::toggleNode(Node &node)
{
    if (node.status() != 0) {
        cv::TickTree::SetChildAllStatus(node, 0);
        cv::TickTree::SetParentAllStatus(node, 0);
    } else if (!tick(node)) {
        return;
    }
    m_accView->reload();
    m_actView->reload();
    updateButtons();
}

bool ChartSheet::tick(Node &node)
{
    int count = node.sumMembersMatching(isGraphableAndNotSelected);
    for (const NodePtr &root : outline()->roots())
        if (root) count += root->sumStatusWithoutGroups();
    if (count > kMaxItems) {
        Alert::warn(cv::localizedString("Chart-Too-Many"));
        return false;
    }
    cv::TickTree::SetChildAllStatus(node, 1);
    Node *parent = node.parent();
    if (parent && parent->status() == 0) {
        const auto &siblings = parent->children();
        if (std::all_of(siblings.begin(), siblings.end(), [](const NodePtr &c) { return c->allStatus(); }))
            tick(*parent);
    }
    return true;
}

std::vector<NodePtr> ChartSheet::chartItems() const
{
    std::vector<NodePtr> list;
    for (const NodePtr &root : outline()->roots())
        if (root) collect(list, root);
    return list;
}

std::unique_ptr<cv::PagedDocument> ChartSheet::makeChart(cv::PageSetup &setup) const
{
    const QDate from = getDate(0).value_or(QDate());
    const QDate to = pieOfAccounts() ? QDate() : getDate(1).value_or(QDate());
    const int option = m_intervalButton->currentData().toInt();
    const int mode = tab();
    const QString title = cv::localizedString(mode == 0 ? "Chart-Title-Account" : "Chart-Title-Actual");
    const std::vector<NodePtr> data = chartItems();
    switch (m_paramButton->currentIndex()) {
    case Bar: {
        auto view = std::make_unique<StackedColumnChart>(setup);
        view->setDocument(m_doc, mode, option, title, data, from, to);
        return view;
    }
    case Pie: {
        auto view = std::make_unique<PieChart>(setup);
        view->setDocument(m_doc, mode, option | PieChart::kSorted, title, data, from, to);
        return view;
    }
    default: {
        auto view = std::make_unique<LineChart>(setup);
        view->setDocument(m_doc, mode, option, title, data, from, to);
        return view;
    }
    }
}

bool ChartSheet::print(cv::PrintRunner::Mode mode, const QString &pdfPath)
{
    updateButtons();
    if (!m_doc || !m_drawButton->isEnabled()) return false;
    return cv::printPaged(
               *m_doc, m_preference, [this](cv::PageSetup &setup) { return makeChart(setup); }, this, mode, pdfPath)
        .printed;
}

} // namespace cv
