#include "reports/ReportSheet.h"

#include "controls/TickTree.h"
#include "controls/DateField.h"
#include "controls/OpenSheet.h"
#include "controls/ToggleOutlineView.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "platform/Alert.h"
#include "platform/Localization.h"
#include "reports/Report.h"
#include "reports/ReportOutlineModel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace cv {

namespace {

constexpr int kAccountBalance = 0;
constexpr int kJournal = 1;
constexpr int kIncomeExpense = 2;
constexpr int kItemised = 3;
constexpr int kCashFlow = 4;
constexpr int kCashFlowDetail = 5;
constexpr int kTermComparison = 6;
constexpr int kBudgetComparison = 7;
constexpr int kRanking = 8;
constexpr int kSecurities = 9;
constexpr int kLevelChoices = 4; // every level, then levels 1 to 3

bool hasGroups(int report)
{
    return report != kAccountBalance && report != kJournal && report != kBudgetComparison && report != kSecurities;
}

bool hasLevels(int report)
{
    return report == kIncomeExpense || report == kItemised || report == kCashFlowDetail || report == kTermComparison ||
           report == kBudgetComparison || report == kRanking;
}

QLabel *label(const char *key, QWidget *parent)
{
    return new QLabel(localizedString(key), parent);
}

// A titled row of radio buttons under the column, the first one chosen.
QButtonGroup *radios(QWidget *parent, QVBoxLayout *column, const char *titleKey, const QStringList &titles)
{
    auto *row = new QHBoxLayout;
    row->addWidget(label(titleKey, parent));
    auto *group = new QButtonGroup(parent);
    for (int i = 0; i < titles.size(); ++i) {
        auto *button = new QRadioButton(titles[i], parent);
        group->addButton(button, i);
        row->addWidget(button);
    }
    group->button(0)->setChecked(true);
    row->addStretch(1);
    column->addLayout(row);
    return group;
}

} // namespace

ReportSheet::ReportSheet(Book *doc, const Preference *preference, QWidget *parent)
    : QDialog(parent), m_doc(doc), m_preference(new Preference(preference ? *preference : Preference())),
      m_kindButton(new QComboBox(this)), m_optionSettingsView(new QStackedWidget(this)),
      m_previewButton(new QPushButton(localizedString("Report-Sheet-Preview"), this)),
      m_reportButton(new QPushButton(localizedString("Report-Sheet-Report"), this)),
      m_closeButton(new QPushButton(localizedString("Report-Sheet-Close"), this))
{
    setWindowTitle(localizedString("Report-Sheet-Title"));
    // Reports print on A4 whatever paper the book last used; set here, before
    // anything can ask for it.
    m_setup.paperName = QStringLiteral("A4");
    m_setup.orientation = PageSetup::Portrait;
    const QSizeF leftTop = m_preference->leftTopMargin();
    const QSizeF rightBottom = m_preference->rightBottomMargin();
    m_setup.margins = QMarginsF(leftTop.width(), leftTop.height(), rightBottom.width(), rightBottom.height());

    auto *kinds = new QStandardItemModel(this);
    for (int kind = 0; kind < kReportKindCount; ++kind) {
        const ReportKind *k = reportKind(kind);
        const QString title = localizedString(k->titleKey);
        auto *item =
            new QStandardItem(k->make ? title : formatString(localizedString("Report-Sheet-Not-Yet"), {title}));
        if (!k->make) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        kinds->appendRow(item);
    }
    m_kindButton->setModel(kinds);
    for (int kind = 0; kind < kReportKindCount; ++kind) buildTab(kind);

    auto *top = new QHBoxLayout;
    top->addWidget(label("Report-Sheet-Kind", this));
    top->addWidget(m_kindButton, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);
    buttons->addWidget(m_previewButton);
    buttons->addWidget(m_reportButton);
    m_reportButton->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_optionSettingsView, 1);
    layout->addLayout(buttons);
    resize(640, 560);

    connect(m_kindButton, &QComboBox::currentIndexChanged, this, [this](int kind) { selectKind(kind); });
    connect(m_reportButton, &QPushButton::clicked, this, [this] { runReport(PrintRunner::Mode::Dialog); });
    connect(m_previewButton, &QPushButton::clicked, this, [this] { runReport(PrintRunner::Mode::Preview); });
    connect(m_closeButton, &QPushButton::clicked, this, [this] { done(0); });

    // Every security starts unchecked, like every node.
    if (m_doc)
        for (const SecurityPtr &security : m_doc->securityList()) security->setOutlineState(0);
    selectKind(kAccountBalance);
}

ReportSheet::~ReportSheet()
{
    clearAllMarks();
    delete m_preference;
}

ReportSheet *ReportSheet::openReportPanel(Book *doc, const Preference *preference, QWidget *parent)
{
    if (!doc) return nullptr;
    auto *sheet = new ReportSheet(doc, preference, parent);
    return cv::openSheet(sheet, parent, {});
}

void ReportSheet::buildTab(int kind)
{
    Tab &tab = m_tabs[size_t(kind)];
    tab.page = new QWidget(m_optionSettingsView);
    auto *column = new QVBoxLayout(tab.page);
    column->setContentsMargins(0, 0, 0, 0);
    auto watchDate = [this](DateField *field) {
        connect(field, &DateField::dateChanged, this, [this] { updateReportButtonState(); });
        connect(field, &DateField::textChanged, this, [this] { updateReportButtonState(); });
    };
    auto periodRow = [&](const char *titleKey, DateField *&from, DateField *&to) {
        auto *row = new QHBoxLayout;
        if (titleKey) row->addWidget(label(titleKey, tab.page));
        row->addWidget(label("Report-Sheet-From", tab.page));
        from = new DateField(tab.page);
        row->addWidget(from);
        row->addWidget(label("Report-Sheet-To", tab.page));
        to = new DateField(tab.page);
        row->addWidget(to);
        row->addStretch(1);
        watchDate(from);
        watchDate(to);
        column->addLayout(row);
    };
    if (kind == kBudgetComparison) {
        auto *row = new QHBoxLayout;
        auto month = [&](QLineEdit *&year, QComboBox *&monthButton, const char *titleKey) {
            row->addWidget(label(titleKey, tab.page));
            year = new QLineEdit(tab.page);
            year->setMaxLength(8);
            year->setFixedWidth(60);
            year->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhPreferLatin);
            row->addWidget(year);
            row->addWidget(label("Report-Sheet-Year", tab.page));
            monthButton = new QComboBox(tab.page);
            for (int m = 1; m <= 12; ++m)
                monthButton->addItem(formatString(localizedString("Report-Sheet-Month"), {m}));
            row->addWidget(monthButton);
            connect(year, &QLineEdit::textChanged, this, [this] { updateReportButtonState(); });
            connect(monthButton, &QComboBox::currentIndexChanged, this, [this] { updateReportButtonState(); });
        };
        month(tab.fromYear, tab.fromMonth, "Report-Sheet-From");
        row->addSpacing(12);
        month(tab.toYear, tab.toMonth, "Report-Sheet-To");
        row->addStretch(1);
        column->addLayout(row);
    } else if (kind == kTermComparison) {
        periodRow("Report-Sheet-Period-1", tab.from, tab.to);
        periodRow("Report-Sheet-Period-2", tab.from2, tab.to2);
    } else {
        periodRow(nullptr, tab.from, tab.to);
    }

    auto *outlines = new QHBoxLayout;
    const ReportOutlineModel::Mode mode = kind == kSecurities ? ReportOutlineModel::Securities
                                          : kind <= kJournal  ? ReportOutlineModel::Accounts
                                                              : ReportOutlineModel::Categories;
    tab.tree = new ToggleOutlineView(tab.page);
    tab.treeModel = new ReportOutlineModel(m_doc, mode, tab.tree);
    tab.tree->setModel(tab.treeModel);
    tab.tree->setToggleClient(this);
    tab.tree->setHeaderHidden(true);
    tab.tree->header()->setStretchLastSection(false);
    tab.tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < tab.treeModel->columnCount(); ++column)
        tab.tree->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    outlines->addWidget(tab.tree, 3);
    if (hasGroups(kind)) {
        auto *groupColumn = new QVBoxLayout;
        tab.useGroups = new QCheckBox(localizedString("Report-Sheet-Use-Groups"), tab.page);
        tab.groups = new ToggleOutlineView(tab.page);
        tab.groupModel = new ReportOutlineModel(m_doc, ReportOutlineModel::Groupings, tab.groups);
        tab.groups->setModel(tab.groupModel);
        tab.groups->setToggleClient(this);
        tab.groups->setHeaderHidden(true);
        tab.groups->setRootIsDecorated(false);
        tab.groups->setEnabled(false);
        groupColumn->addWidget(tab.useGroups);
        groupColumn->addWidget(tab.groups, 1);
        outlines->addLayout(groupColumn, 2);
        connect(tab.useGroups, &QCheckBox::toggled, this, [this, kind] { useGroupsChanged(kind); });
    }
    column->addLayout(outlines, 1);

    if (hasLevels(kind)) {
        QStringList titles{localizedString("Report-Sheet-All-Levels")};
        for (int level = 1; level < kLevelChoices; ++level)
            titles << formatString(localizedString("Report-Sheet-Level"), {level});
        tab.levels = radios(tab.page, column, "Report-Sheet-Levels", titles);
        connect(tab.levels, &QButtonGroup::idClicked, this, [this, kind](int tier) { tierChanged(kind, tier); });
    }
    if (kind == kRanking) {
        tab.order = radios(tab.page, column, "Report-Sheet-Order",
                           {localizedString("Report-Sheet-Ascending"), localizedString("Report-Sheet-Descending")});
        tab.order->button(1)->setChecked(true);
    }
    if (kind == kAccountBalance)
        tab.layout = radios(tab.page, column, "Report-Sheet-Layout",
                            {localizedString("Report-Sheet-Tree-Order"), localizedString("Report-Sheet-By-Type")});
    if (kind == kIncomeExpense) {
        tab.breakdown = new QCheckBox(localizedString("Report-Sheet-Breakdown"), tab.page);
        column->addWidget(tab.breakdown);
    }
    if (kind == kSecurities) {
        tab.securityText = new QLabel(tab.page);
        tab.securityText->setWordWrap(true);
        column->addWidget(tab.securityText);
    }
    m_optionSettingsView->addWidget(tab.page);
}

QDate ReportSheet::firstDate(const QDate &date) const
{
    return QDate(date.year(), date.month(), 1);
}

QDate ReportSheet::endDate(const QDate &date) const
{
    const int day = m_doc && m_doc->settings() ? m_doc->settings()->fiscalDayOfMonth() + 1 : 1;
    const QDate next = QDate(date.year(), date.month(), 1).addMonths(1);
    return QDate(next.year(), next.month(), day).addDays(-1);
}

void ReportSheet::fillDefaults(int kind)
{
    Tab &tab = m_tabs[size_t(kind)];
    const QDate today = QDate::currentDate();
    if (kind == kBudgetComparison) {
        for (QLineEdit *year : {tab.fromYear, tab.toYear}) year->setText(QString::number(today.year()));
        for (QComboBox *month : {tab.fromMonth, tab.toMonth}) month->setCurrentIndex(today.month() - 1);
        return;
    }
    const QDate to = endDate(today);
    if (kind == kTermComparison) {
        tab.to2->setDate(to);
        tab.from2->setDate(firstDate(to));
        const QDate from1 = firstDate(to).addMonths(-1);
        tab.from->setDate(from1);
        tab.to->setDate(endDate(from1));
        return;
    }
    tab.to->setDate(to);
    tab.from->setDate(firstDate(to));
}

void ReportSheet::selectKind(int kind)
{
    const ReportKind *k = reportKind(kind);
    if (!k || !k->make) {
        // A kind that cannot run yet keeps the sheet where it was.
        QSignalBlocker block(m_kindButton);
        m_kindButton->setCurrentIndex(m_kind);
        return;
    }
    m_kind = kind;
    {
        QSignalBlocker block(m_kindButton);
        m_kindButton->setCurrentIndex(kind);
    }
    m_optionSettingsView->setCurrentIndex(kind);
    Tab &tab = m_tabs[size_t(kind)];
    fillDefaults(kind);
    clearAllMarks();
    if (tab.levels) tab.levels->button(0)->setChecked(true);
    m_categoryTier = 0;
    tab.treeModel->setTier(0);
    tab.treeModel->reload();
    tab.tree->expandItem(QModelIndex(), true);
    if (tab.groupModel) tab.groupModel->reload();
    if (tab.securityText)
        tab.securityText->setText(localizedString(m_doc && !m_doc->securityList().empty() ? "Report-Brand-Average-Info"
                                                                                          : "Report-NoBrand-Message"));
    updateReportButtonState();
}

void ReportSheet::tierChanged(int kind, int tier)
{
    if (kind != m_kind || tier == m_categoryTier) return;
    m_categoryTier = tier;
    if (m_doc && m_doc->categoryTrees())
        for (const NodePtr &root : {m_doc->categoryTrees()->income(), m_doc->categoryTrees()->expense()})
            if (root) TickTree::SetChildAllStatus(*root, 0);
    Tab &tab = m_tabs[size_t(kind)];
    tab.treeModel->setTier(tier);
    tab.tree->expandItem(QModelIndex(), true);
    updateReportButtonState();
}

void ReportSheet::useGroupsChanged(int kind)
{
    const Tab &tab = m_tabs[size_t(kind)];
    if (tab.groups) tab.groups->setEnabled(tab.useGroups->isChecked());
}

void ReportSheet::toggleItem(const QModelIndex &index)
{
    auto *model = qobject_cast<ReportOutlineModel *>(const_cast<QAbstractItemModel *>(index.model()));
    if (!model) return;
    model->toggle(index);
    // Groupings narrow the entries but choose nothing to report.
    if (model->mode() != ReportOutlineModel::Groupings) updateReportButtonState();
}

bool ReportSheet::selectionReady() const
{
    const ReportOutlineModel *model = m_tabs[size_t(m_kind)].treeModel;
    if (m_kind == kSecurities) {
        const auto &securities = model->securities();
        return std::any_of(securities.begin(), securities.end(),
                           [](const SecurityPtr &b) { return b->intValue() != 0; });
    }
    const auto &roots = model->roots();
    return roots[0] && roots[1] && (roots[0]->deepStatus() != 0 || roots[1]->deepStatus() != 0);
}

std::optional<int> ReportSheet::yearOf(const QString &text)
{
    if (text.isEmpty() || text.size() > 4) return std::nullopt;
    int year = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        year = year * 10 + (c.unicode() - '0');
    }
    return year >= 1 ? std::optional<int>(year) : std::nullopt;
}

std::optional<ReportSheet::MonthPeriod> ReportSheet::budgetPeriod() const
{
    const Tab &tab = m_tabs[size_t(kBudgetComparison)];
    const std::optional<int> fromYear = yearOf(tab.fromYear->text());
    const std::optional<int> toYear = yearOf(tab.toYear->text());
    if (!fromYear || !toYear) return std::nullopt;
    const int day = m_doc && m_doc->settings() ? m_doc->settings()->fiscalDayOfMonth() + 1 : 1;
    const int fromMonth = tab.fromMonth->currentIndex() + 1;
    const int toMonth = tab.toMonth->currentIndex() + 1;
    // Local calendar days: the same months in every time zone.
    MonthPeriod period;
    period.from = QDate(*fromYear, fromMonth, day);
    period.to = endDate(QDate(*toYear, toMonth, day));
    period.months = (*toYear * 12 + toMonth) - (*fromYear * 12 + fromMonth) + 1;
    return period;
}

bool ReportSheet::datesReady() const
{
    const Tab &tab = m_tabs[size_t(m_kind)];
    if (m_kind == kBudgetComparison) {
        const std::optional<MonthPeriod> period = budgetPeriod();
        return period && period->from <= period->to;
    }
    auto ordered = [](const DateField *from, const DateField *to) {
        const std::optional<QDate> a = from->date();
        const std::optional<QDate> b = to->date();
        return !a || !b || *a <= *b;
    };
    return ordered(tab.from, tab.to) && (!tab.from2 || ordered(tab.from2, tab.to2));
}

void ReportSheet::updateReportButtonState()
{
    const bool ready = selectionReady() && datesReady();
    m_reportButton->setEnabled(ready);
    m_previewButton->setEnabled(ready);
}

std::optional<ReportRequest> ReportSheet::request() const
{
    const Tab &tab = m_tabs[size_t(m_kind)];
    ReportRequest request;
    request.kind = m_kind;
    if (m_kind == kBudgetComparison) {
        const std::optional<MonthPeriod> period = budgetPeriod();
        if (!period) return std::nullopt;
        request.from = period->from;
        request.to = period->to;
        request.months = period->months;
    } else {
        const std::optional<QDate> from = tab.from->date();
        const std::optional<QDate> to = tab.to->date();
        if (!from || !to) return std::nullopt;
        request.from = *from;
        request.to = *to;
        if (tab.from2) {
            const std::optional<QDate> from2 = tab.from2->date();
            const std::optional<QDate> to2 = tab.to2->date();
            if (!from2 || !to2) return std::nullopt;
            request.from2 = *from2;
            request.to2 = *to2;
        }
    }
    request.flags = m_kind == kJournal ? 1 : tab.layout && tab.layout->checkedId() > 0 ? 1 : 0;
    request.tier = m_kind == kCashFlow ? 0 : m_categoryTier;
    request.displayStyle = tab.breakdown && tab.breakdown->isChecked() ? 1 : 0;
    request.isAscending = tab.order ? tab.order->checkedId() : 0;
    if (tab.useGroups && tab.useGroups->isChecked()) {
        QList<int> idents;
        for (const GroupingPtr &grouping : tab.groupModel->groupings())
            if (grouping->intValue() != 0) idents << grouping->ident();
        if (!idents.isEmpty()) request.groups = idents;
    }
    return request;
}

PageSetup ReportSheet::pageSetup() const
{
    PageSetup setup = m_setup;
    if (const ReportKind *k = reportKind(m_kind)) setup.orientation = k->orientation;
    return setup;
}

bool ReportSheet::runReport(PrintRunner::Mode mode, const QString &pdfPath)
{
    updateReportButtonState();
    const ReportKind *k = reportKind(m_kind);
    if (!m_doc || !k || !k->make || !m_reportButton->isEnabled()) return false;
    const std::optional<ReportRequest> chosen = request();
    // Amounts take their print form while the rows are built and drawn.
    m_doc->amountText().beginCurrencyPrinting();
    std::unique_ptr<Report> view = chosen ? k->make(*m_doc, *chosen, pageSetup()) : nullptr;
    bool printed = false;
    if (view) printed = PrintRunner::run(*view, mode, this, pdfPath).printed;
    m_doc->amountText().endCurrencyPrinting();
    if (!view) Alert::alert(localizedString("Report-NoData-Title"), localizedString("Report-NoData-Message"), this);
    return printed;
}

void ReportSheet::clearAllMarks()
{
    if (!m_doc) return;
    if (m_doc->accountTrees())
        for (const NodePtr &root : {m_doc->accountTrees()->asset(), m_doc->accountTrees()->debt()})
            if (root) TickTree::SetChildAllStatus(*root, 0);
    if (m_doc->categoryTrees())
        for (const NodePtr &root : {m_doc->categoryTrees()->income(), m_doc->categoryTrees()->expense()})
            if (root) TickTree::SetChildAllStatus(*root, 0);
    for (const Tab &tab : m_tabs) {
        if (tab.groupModel) tab.groupModel->clearAll();
        if (tab.treeModel) tab.treeModel->refresh();
    }
}

void ReportSheet::done(int code)
{
    clearAllMarks();
    QDialog::done(code);
}

} // namespace cv
