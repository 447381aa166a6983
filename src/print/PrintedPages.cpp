#include "print/PrintedPages.h"

#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QDate>

#include <algorithm>

namespace cv {

PrintedPages::PrintedPages(int spread, const cv::PageSetup &setup)
    : m_setup(setup), m_spread(spread == 2 ? 2 : 1),
      m_today(cv::formatDate(QDate::currentDate(), cv::localizedString(QStringLiteral("YYYY/MM/DD"))))
{
    Q_ASSERT(spread == 1 || spread == 2);
    m_pages.push_back(PageRange{});
}

double PrintedPages::usableHeight(const cv::PageSetup &setup)
{
    return setup.paperSize().height() - setup.margins.top() - setup.margins.bottom() - kHeadHeight - kBottomKeep;
}

std::vector<PrintedPages::PageRange> PrintedPages::paginate(int rowCount, const RowAt &rowAt, double usable)
{
    std::vector<PageRange> pages;
    PageRange page;
    double used = 0;
    for (int i = 0; i < rowCount; ++i) {
        const PrintedPagesParam &row = rowAt(i);
        if (row.level() == PrintedPagesParam::PageBreak) {
            // The rows before the break stay on this page.
            page.end = i;
            pages.push_back(page);
            page = PageRange{i + 1, i + 1};
            used = 0;
            continue;
        }
        const double height = std::max(0.0, double(row.height()));
        if (used + height > usable) {
            page.end = i;
            pages.push_back(page);
            page = PageRange{i, i};
            used = height;
        } else {
            used += height;
        }
    }
    page.end = rowCount;
    pages.push_back(page);
    return pages;
}

void PrintedPages::paginateRows()
{
    m_pages = paginate(
        rowCount(), [this](int i) -> const PrintedPagesParam & { return rowAt(i); }, usableHeight(m_setup));
    m_curPage = 0;
    m_curSpread = 0;
}

void PrintedPages::setPageSetup(const cv::PageSetup &setup)
{
    m_setup = setup;
    paginateRows();
}

PrintedPages::PageRange PrintedPages::range() const
{
    const int page = m_curPage / m_spread;
    if (page < 0 || page >= pages()) {
        Q_ASSERT(!"sheet outside the view");
        return PageRange{};
    }
    return m_pages[size_t(page)];
}

double PrintedPages::contentWidth() const
{
    return paperSize().width() - m_setup.margins.left() - m_setup.margins.right();
}

void PrintedPages::drawSheet(int sheet, cv::Canvas &canvas)
{
    if (sheet < 1 || sheet > sheetCount()) {
        Q_ASSERT(!"sheet outside the view");
        return;
    }
    m_curPage = sheet - 1;
    m_curSpread = (sheet - 1) % m_spread;
    canvas.setFont(cv::CanvasFont{cv::localizedString(QStringLiteral("Report-Font")), kFontSize});
    canvas.setTextColor(Qt::black);
    drawContents(canvas);
}

void PrintedPages::drawHead(cv::Canvas &canvas) const
{
    const double x = leftX();
    const double width = contentWidth();
    const double top = m_setup.margins.top();
    const QString head = cv::formatString(cv::localizedString(QStringLiteral("Report-Head-Date")),
                                          {m_today, m_curPage + 1, sheetCount()});
    drawRightJustified(canvas, head, QPointF(x, top), width);
    drawCentered(canvas, m_title, QPointF(x, top + kLineHeight), width);
}

void PrintedPages::walkRows(cv::Canvas &canvas, const std::function<void(int, double)> &drawRow) const
{
    const PageRange rows = range();
    double top = rowsTop();
    for (int i = rows.start; i < rows.end && i < rowCount(); ++i) {
        const PrintedPagesParam &row = rowAt(i);
        switch (row.level()) {
        case PrintedPagesParam::PageBreak: continue;
        case PrintedPagesParam::Blank:
        case PrintedPagesParam::Rule:
        case PrintedPagesParam::ThinRule: drawItem(canvas, row, top); break;
        default: drawRow(i, top); break;
        }
        top += row.height();
    }
}

void PrintedPages::drawItem(cv::Canvas &canvas, const PrintedPagesParam &row, double top) const
{
    double thickness = 0;
    if (row.level() == PrintedPagesParam::Rule)
        thickness = 2;
    else if (row.level() == PrintedPagesParam::ThinRule)
        thickness = 1;
    else
        return;
    const QRectF sheet = sheetRect();
    canvas.fillRect(QRectF(sheet.x(), top + (row.height() - thickness) * 0.5, sheet.width(), thickness), Qt::black);
}

void PrintedPages::drawBand(cv::Canvas &canvas, double top, double height, double whiteLevel) const
{
    canvas.fillRect(QRectF(leftX(), top, contentWidth(), height), QColor::fromRgbF(whiteLevel, whiteLevel, whiteLevel));
}

void PrintedPages::drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at)
{
    canvas.drawTextAt(text, at, kLineHeight);
}

void PrintedPages::drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width)
{
    canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Left, true);
}

void PrintedPages::drawRightJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width)
{
    // Right-justified cells are mostly amounts: a cut-off amount misleads, so a
    // wide one is set smaller first (down to kMinAmountScale), and a gap keeps
    // it from running into the column on its left.
    constexpr double kGap = 3;
    constexpr double kMinAmountScale = 0.6;
    const double room = std::max(0.0, width - kGap);
    const double wide = canvas.textWidth(text);
    if (wide <= room || wide <= 0) {
        canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Right, true);
        return;
    }
    const cv::CanvasFont font = canvas.font();
    cv::CanvasFont smaller = font;
    // Font sizes land on whole device pixels, so step down until it fits.
    for (double scale = std::max(kMinAmountScale, room / wide);; scale -= 0.03) {
        smaller.size = font.size * std::max(kMinAmountScale, scale);
        canvas.setFont(smaller);
        if (scale <= kMinAmountScale || canvas.textWidth(text) <= room) break;
    }
    canvas.drawText(text, QRectF(at.x() + kGap, at.y(), room, kLineHeight), cv::TextAlign::Right, true);
    canvas.setFont(font);
}

void PrintedPages::drawCentered(cv::Canvas &canvas, const QString &text, const QPointF &at, double width)
{
    canvas.drawText(text, QRectF(at.x(), at.y(), width, kLineHeight), cv::TextAlign::Center, true);
}

} // namespace cv
