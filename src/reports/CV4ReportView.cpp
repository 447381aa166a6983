#include "reports/CV4ReportView.h"

#include "document/CV4Document.h"
#include "document/KavriNumberFormatter.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <algorithm>

CV4ReportView::CV4ReportView(CV4Document &doc, const cv::PageSetup &setup)
    : m_setup(setup), m_doc(doc), m_today(formatDate(QDate::currentDate()))
{
    m_pages.push_back(PageRange{});
}

void CV4ReportView::addLineTo(Rows &rows)
{
    rows.emplace_back(CV4ReportItem::Rule, CV4ReportItem::kRuleHeight);
}

void CV4ReportView::addThinlineTo(Rows &rows)
{
    rows.emplace_back(CV4ReportItem::ThinRule, CV4ReportItem::kRuleHeight);
}

void CV4ReportView::addBlankTo(Rows &rows)
{
    rows.emplace_back(CV4ReportItem::Blank, CV4ReportItem::kRowHeight);
}

void CV4ReportView::addPageTo(Rows &rows)
{
    rows.emplace_back(CV4ReportItem::PageBreak, 0.0f);
}

double CV4ReportView::usableHeight(const cv::PageSetup &setup)
{
    return setup.paperSize().height() - setup.margins.top() - setup.margins.bottom() - kHeadBand - kFootBand;
}

std::vector<CV4ReportView::PageRange> CV4ReportView::paginate(const Rows &rows, double usable)
{
    std::vector<PageRange> pages;
    const int count = int(rows.size());
    PageRange page;
    double filled = 0;
    for (int i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        if (rows[size_t(i)].level == CV4ReportItem::PageBreak) {
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
        const bool breakFollows = !last && rows[size_t(i) + 1].level == CV4ReportItem::PageBreak;
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

void CV4ReportView::setData(Rows rows)
{
    m_data = std::move(rows);
    m_pages = paginate(m_data, usableHeight(m_setup));
    m_curPage = 0;
}

void CV4ReportView::setPageSetup(const cv::PageSetup &setup)
{
    m_setup = setup;
    m_pages = paginate(m_data, usableHeight(m_setup));
    m_curPage = 0;
}

CV4ReportView::PageRange CV4ReportView::range() const
{
    if (m_curPage < 0 || m_curPage >= pages()) {
        Q_ASSERT(!"page outside the report");
        return PageRange{};
    }
    return m_pages[size_t(m_curPage)];
}

double CV4ReportView::contentWidth() const
{
    return paperSize().width() - m_setup.margins.left() - m_setup.margins.right();
}

void CV4ReportView::drawSheet(int sheet, cv::Canvas &canvas)
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

void CV4ReportView::drawHead(cv::Canvas &canvas) const
{
    const QString head = cv::formatString(cv::localizedString("Report-Head-Date"), {m_today, m_curPage + 1, pages()});
    // The head is no value: it shows even while values are blanked.
    canvas.drawText(head, QRectF(left(), top(), contentWidth(), kLineHeight), cv::TextAlign::Right, false);
    drawCentered(canvas, m_title, QPointF(left(), top() + kTitleTop), contentWidth());
}

void CV4ReportView::drawPeriod(cv::Canvas &canvas, const QDate &from, const QDate &to) const
{
    drawLeftJustified(canvas,
                      cv::formatString(cv::localizedString("Report-CountingTerm"), {formatDate(from), formatDate(to)}),
                      QPointF(left(), top()));
}

void CV4ReportView::walkRows(cv::Canvas &canvas, double startTop,
                             const std::function<void(int, double)> &drawRow) const
{
    const PageRange rows = range();
    double y = startTop;
    for (int i = rows.start; i < rows.end && i < int(m_data.size()); ++i) {
        const CV4ReportItem &row = m_data[size_t(i)];
        switch (row.level) {
        case CV4ReportItem::PageBreak:
        case CV4ReportItem::Blank:
            break;
        case CV4ReportItem::Rule:
        case CV4ReportItem::ThinRule:
            drawItem(canvas, row, y);
            break;
        default:
            drawRow(i, y);
            break;
        }
        y += row.height;
    }
}

void CV4ReportView::drawItem(cv::Canvas &canvas, const CV4ReportItem &row, double y) const
{
    double thickness = 0;
    if (row.level == CV4ReportItem::Rule)
        thickness = 2;
    else if (row.level == CV4ReportItem::ThinRule)
        thickness = 1;
    else
        return;
    canvas.fillRect(QRectF(left(), y + (row.height - thickness) * 0.5, paperSize().width() - left(), thickness),
                    Qt::black);
}

void CV4ReportView::drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at) const
{
    canvas.drawTextAt(text, at, kLineHeight);
}

void CV4ReportView::drawHeadRight(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    constexpr double kGap = 4;
    constexpr double kSmallest = 0.6;
    constexpr int kSteps = 3;   // sizes come in steps: a second look catches one that rounds up
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

void CV4ReportView::drawRightJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    if (m_disableValues) return;
    canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Right, false);
}

void CV4ReportView::drawCentered(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const
{
    canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Center, false);
}

QString CV4ReportView::fullName(const CVUnitModel &node, const QString &ownName) const
{
    QString path = ownName;
    for (const CVUnitModel *up = node.parent(); up && up->parent(); up = up->parent())
        path.prepend(up->name() + QLatin1Char('/'));
    return path;
}

QString CV4ReportView::getFullAccountName(const CVUnitModel &node) const
{
    return fullName(node, m_doc.displayName(node));
}

QString CV4ReportView::getFullCatName(const CVUnitModel &node) const
{
    return fullName(node, node.name());
}

QString CV4ReportView::getFullCatName(const CV4Actual &entry) const
{
    CVUnitModelPtr category;
    if (entry.kind() == cv::EntryKind::Income)
        category = m_doc.findIncome(entry.category());
    else if (entry.kind() == cv::EntryKind::Expense)
        category = m_doc.findExpense(entry.category());
    return category ? getFullCatName(*category) : QString();
}

const KavriNumberFormatter &CV4ReportView::currencyFormatter() const
{
    return m_doc.amountText().formatterForCurrency(0);
}

QString CV4ReportView::formatAmount(double value) const
{
    return currencyFormatter().stringForObjectValue(value);
}

QString CV4ReportView::formatDate(const QDate &date) const
{
    return cv::formatDate(date, cv::localizedString("Report-Date-Format"));
}
