#include "reports/Report.h"

#include "document/AmountText.h"
#include "document/ReadOnlyBook.h"
#include "document/PatternFormatter.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <algorithm>

namespace cv {

Report::Report(ReadOnlyBook &doc, const cv::PageSetup &setup)
    : m_setup(setup), m_doc(doc), m_today(formatDate(QDate::currentDate()))
{
    m_pages.push_back(PageRange{});
}

void Report::addLineTo(Rows &rows)
{
    rows.emplace_back(ReportRow::Rule, ReportRow::kRuleHeight);
}

void Report::addThinlineTo(Rows &rows)
{
    rows.emplace_back(ReportRow::ThinRule, ReportRow::kRuleHeight);
}

void Report::addBlankTo(Rows &rows)
{
    rows.emplace_back(ReportRow::Blank, ReportRow::kRowHeight);
}

void Report::addPageTo(Rows &rows)
{
    rows.emplace_back(ReportRow::PageBreak, 0.0f);
}

double Report::usableHeight(const cv::PageSetup &setup)
{
    return setup.paperSize().height() - setup.margins.top() - setup.margins.bottom() - kHeadBand - kFootBand;
}

std::vector<Report::PageRange> Report::paginate(const Rows &rows, double usable)
{
    std::vector<PageRange> pages;
    const int count = int(rows.size());
    PageRange page;
    double filled = 0;
    for (int i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        if (rows[size_t(i)].level == ReportRow::PageBreak) {
            // The row before a break is the blank every report puts there.
            if (i > page.start && page.end == i) page.end = i - 1;
            if (last) break;
            pages.push_back(page);
            page = PageRange{i + 1, i + 1};
            filled = 0;
            continue;
        }
        const double height = std::max(0.0, double(rows[size_t(i)].height));
        filled += height;
        const bool breakFollows = !last && rows[size_t(i) + 1].level == ReportRow::PageBreak;
        if (filled > usable && !breakFollows) {
            pages.push_back(page);
            page = PageRange{i, i};
            filled = height;
        }
        page.end = i + 1;
    }
    pages.push_back(page);
    return pages;
}

void Report::setData(Rows rows)
{
    m_data = std::move(rows);
    m_pages = paginate(m_data, usableHeight(m_setup));
    m_curPage = 0;
}

void Report::setPageSetup(const cv::PageSetup &setup)
{
    m_setup = setup;
    m_pages = paginate(m_data, usableHeight(m_setup));
    m_curPage = 0;
}

Report::PageRange Report::range() const
{
    if (m_curPage < 0 || m_curPage >= pages()) {
        Q_ASSERT(!"page outside the report");
        return PageRange{};
    }
    return m_pages[size_t(m_curPage)];
}

double Report::contentWidth() const
{
    return paperSize().width() - m_setup.margins.left() - m_setup.margins.right();
}

void Report::drawSheet(int sheet, cv::Canvas &canvas)
{
    if (sheet < 1 || sheet > pages()) {
        Q_ASSERT(!"page outside the report");
        return;
    }
    m_curPage = sheet - 1;
    m_disableValues = false;
    canvas.setFont(cv::CanvasFont{cv::localizedString("Report-Font"), kFontSize});
    canvas.setTextColor(Qt::black);
    drawHead(canvas);
    drawPage(canvas);
    m_disableValues = false;
}

void Report::drawHead(cv::Canvas &canvas) const
{
    const QString head = cv::formatString(cv::localizedString("Report-Head-Date"), {m_today, m_curPage + 1, pages()});
    // The head is no value: it shows even while values are blanked.
    canvas.drawText(head, QRectF(left(), top(), contentWidth(), kLineHeight), cv::TextAlign::Right, false);
    drawCentered(canvas, m_title, QPointF(left(), top() + kTitleTop), contentWidth());
}

void Report::drawPeriod(cv::Canvas &canvas, const QDate &from, const QDate &to) const
{
    drawLeftJustified(canvas,
                      cv::formatString(cv::localizedString("Report-CountingTerm"), {formatDate(from), formatDate(to)}),
                      QPointF(left(), top()));
}

void Report::walkRows(cv::Canvas &canvas, double startTop, const std::function<void(int, double)> &drawRow) const
{
    const PageRange rows = range();
    double y = startTop;
    for (int i = rows.start; i < rows.end && i < int(m_data.size()); ++i) {
        const ReportRow &row = m_data[size_t(i)];
        switch (row.level) {
        case ReportRow::PageBreak:
        case ReportRow::Blank: break;
        case ReportRow::Rule:
        case ReportRow::ThinRule: drawItem(canvas, row, y); break;
        default: drawRow(i, y); break;
        }
        y += row.height;
    }
}

void Report::drawItem(cv::Canvas &canvas, const ReportRow &row, double y) const
{
    double thickness = 0;
    if (row.level == ReportRow::Rule)
        thickness = 2;
    else if (row.level == ReportRow::ThinRule)
        thickness = 1;
    else
        return;
    canvas.fillRect(QRectF(left(), y + (row.height - thickness) * 0.5, paperSize().width() - left(), thickness),
                    Qt::black);
}

void Report::drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at) const
{
    canvas.drawTextAt(text, at, kLineHeight);
}

void Report::drawHeadRight(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    constexpr double kGap = 4;
    constexpr double kSmallest = 0.6;
    constexpr int kSteps = 3; // sizes come in steps: a second look catches one that rounds up
    const double room = width - kGap;
    const cv::CanvasFont font = canvas.font();
    cv::CanvasFont smaller = font;
    for (int step = 0; step < kSteps && smaller.size > font.size * kSmallest; ++step) {
        const double wide = canvas.textWidth(text);
        if (wide <= room || wide <= 0) break;
        smaller.size = std::max(font.size * kSmallest, smaller.size * std::min(room / wide, 0.98));
        canvas.setFont(smaller);
    }
    drawRightJustified(canvas, text, at, width);
    canvas.setFont(font);
}

void Report::drawRightJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    if (m_disableValues) return;
    canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Right, false);
}

void Report::drawCentered(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Center, false);
}

QString Report::fullName(const Node &node, const QString &ownName) const
{
    QString path = ownName;
    for (const Node *up = node.parent(); up && up->parent(); up = up->parent())
        path.prepend(up->name() + QLatin1Char('/'));
    return path;
}

QString Report::getFullAccountName(const Node &node) const
{
    return fullName(node, m_doc.displayName(node));
}

QString Report::getFullCatName(const Node &node) const
{
    return fullName(node, node.name());
}

QString Report::getFullCatName(const Entry &entry) const
{
    NodePtr category;
    if (entry.kind() == cv::EntryKind::Income)
        category = m_doc.findIncome(entry.category());
    else if (entry.kind() == cv::EntryKind::Expense)
        category = m_doc.findExpense(entry.category());
    return category ? getFullCatName(*category) : QString();
}

const PatternFormatter &Report::currencyFormatter() const
{
    return m_doc.amountText().formatterForCurrency(0);
}

QString Report::formatAmount(double value) const
{
    return currencyFormatter().stringForObjectValue(value);
}

QString Report::formatDate(const QDate &date) const
{
    return cv::formatDate(date, cv::localizedString("Report-Date-Format"));
}

} // namespace cv
