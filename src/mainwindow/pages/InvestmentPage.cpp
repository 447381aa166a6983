#include "mainwindow/pages/InvestmentPage.h"

#include "controls/DateField.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/pages/InvestmentModel.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

namespace cv {

InvestmentPage::InvestmentPage(BookWindow *window, Book *document, QWidget *parent)
    : WindowPage(QStringLiteral("TB06"), document, parent), m_window(window),
      m_report(std::make_unique<InvestmentStatus>(*document)), m_model(new InvestmentModel(*m_report, this)),
      m_outline(new QTreeView(this)), m_dateField(new DateField(this)),
      m_convert(new QCheckBox(localizedString(QStringLiteral("Invest-Convert")), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    m_dateField->setObjectName(QStringLiteral("reportDateField"));
    m_convert->setObjectName(QStringLiteral("reportConvert"));
    bar->addWidget(m_dateField);
    bar->addWidget(m_convert);
    bar->addStretch(1);
    layout->addLayout(bar);

    m_outline->setObjectName(QStringLiteral("reportView"));
    m_outline->setModel(m_model);
    m_outline->setUniformRowHeights(true);
    m_outline->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_outline->header()->setStretchLastSection(true);
    m_outline->header()->setDefaultAlignment(Qt::AlignCenter);
    for (int column = 0; column < InvestmentStatus::ColumnCount; ++column)
        m_outline->header()->resizeSection(column, kColumnWidths[column]);
    layout->addWidget(m_outline, 1);
    if (const Preference *p = window ? window->preference() : nullptr)
        m_model->setColors(p->categoryColor(), p->titleColor());
    else
        m_model->setColors(Preference().categoryColor(), Preference().titleColor());

    if (window) m_dateField->setDate(window->reportDate());
    // The document goes before its window: the report's rows go with it.
    connect(document, &QObject::destroyed, this, [this] { m_outline->setModel(nullptr); });
    connect(m_dateField, &DateField::dateChanged, this, [this](DateField *field) {
        const std::optional<QDate> date = field->date();
        if (date && m_window && *date != m_window->reportDate()) m_window->performInputDate(*date);
    });
    for (auto signal : {&Book::accountChanged, &Book::securityChanged, &Book::currencyChanged, &Book::tradesChanged})
        connect(document, signal, this, &InvestmentPage::documentChanged);
    connect(m_convert, &QCheckBox::toggled, this, [this](bool on) {
        m_model->setConvert(on);
        expandTopLevel();
    });
}

InvestmentPage::~InvestmentPage()
{
    // The outline reads the model, which reads the report.
    m_outline->setModel(nullptr);
}

void InvestmentPage::makeReportData()
{
    if (!m_outline->model()) return;
    const QDate date = m_window ? m_window->reportDate() : QDate::currentDate();
    {
        const QSignalBlocker blocker(m_dateField);
        m_dateField->setDate(date);
    }
    m_model->reset([this, date] { m_report->build(date); });
    expandTopLevel();
}

void InvestmentPage::expandTopLevel()
{
    if (!m_outline->model()) return;
    for (int row = 0; row < m_model->rowCount(); ++row) m_outline->expand(m_model->index(row, 0));
}

void InvestmentPage::enter(bool)
{
    makeReportData();
}

// Prices and rates change values only; trades and holdings may change rows.
void InvestmentPage::documentChanged(const ChangeSet &changes)
{
    // A hidden page builds its report when entered.
    if (!isCurrentPage() || !m_outline->model()) return;
    const QDate date = m_report->date();
    const bool rows = !changes.trades.empty() || changes.accountTree == TreeChange::Structure || changes.securityList;
    if (rows) {
        makeReportData();
        return;
    }
    m_model->refresh([this, date] { m_report->build(date); });
}

void InvestmentPage::dateChosen(const QDate &date)
{
    if (date == m_report->date()) {
        expandTopLevel();
        return;
    }
    makeReportData();
}

QStringList InvestmentPage::investmentStatusCallback(const InvestmentsPrintParam &row) const
{
    if (row.isHeader()) return InvestmentsPrint::headerTitles();
    const auto *printed = static_cast<const InvestmentStatus::Row *>(row.ref());
    return printed ? m_report->texts(*printed, m_model->convert()) : QStringList();
}

std::unique_ptr<PrintedPages> InvestmentPage::makePrintView(PageSetup &setup)
{
    std::vector<InvestmentsPrintParam> rows{InvestmentsPrintParam(PrintedPagesParam::Header, nullptr)};
    std::function<void(const QModelIndex &)> add = [&](const QModelIndex &parent) {
        for (int r = 0; r < m_model->rowCount(parent); ++r) {
            const QModelIndex index = m_model->index(r, 0, parent);
            const InvestmentStatus::Row *row = m_model->rowAt(index);
            rows.emplace_back(std::max(0, row->level), row);
            if (m_outline->isExpanded(index)) add(index);
        }
    };
    add({});
    // The rows belong to the model, which outlives the print run.
    QPointer<InvestmentPage> page(this);
    auto callback = [page](const InvestmentsPrintParam &row) {
        return page ? page->investmentStatusCallback(row) : QStringList();
    };
    return std::make_unique<InvestmentsPrint>(callback, std::move(rows), setup);
}

} // namespace cv
