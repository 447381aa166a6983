#include "charts/PieChart.h"

#include "charts/SeriesChart.h"
#include "document/ReadOnlyBook.h"
#include "document/CurrencyPrintingScope.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "platform/Localization.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cv {

namespace {

const QColor kOutlineGrey = QColor::fromRgbF(0.5, 0.5, 0.5);
constexpr double kLegendWidth = 192;
constexpr double kMaxLabelWidth = 110;
constexpr double kColumnWidth = 96;
// The legend's width besides its names, the rule included.
constexpr double kLegendRightOfName = 204;

QString rateText(double rate)
{
    return QString::asprintf("%.2f", rate);
}

} // namespace

void PieChart::setDocument(ReadOnlyBook *document, int mode, int option, const QString &title,
                           const std::vector<NodePtr> &data, const QDate &from, const QDate &to)
{
    m_doc = document;
    m_mode = mode;
    m_option = option;
    m_data.clear();
    for (const NodePtr &unit : data)
        if (unit) m_data.push_back(unit);
    setDateFrom(from, to);
    setTitle(title);
    setPages(1);
    m_data1.clear();
    m_data2.clear();
    const NodePtr first = firstPageRoot(document, mode);
    setHasAssetIncome(first && std::any_of(m_data.begin(), m_data.end(),
                                           [&first](const NodePtr &unit) { return unit->hasAncestor(first.get()); }));
    readRows();
}

bool PieChart::isAsset(const NodePtr &unit) const
{
    return m_doc && m_doc->accountTrees() && unit->hasAncestor(m_doc->accountTrees()->asset().get());
}

void PieChart::readRows()
{
    if (!m_doc) return;
    if (m_mode == Categories) {
        const NodePtr income = m_doc->categoryTrees() ? m_doc->categoryTrees()->income() : nullptr;
        const bool monthly = m_option & kMonthly;
        // The same dates as the line chart's columns: m months, never past the end.
        const std::vector<QDate> dates = SeriesChart::sampleDates(date(0), date(1), monthly);
        for (const NodePtr &unit : m_data) {
            double amount = 0;
            for (const QDate &d : dates)
                amount += monthly ? m_doc->summaryForCategoryMonths(unit, d, 1) : m_doc->valueForCategory(unit, d);
            const bool upper = (income && unit->hasAncestor(income.get())) || !hasAssetIncome();
            std::vector<PieChartData> &list = upper ? m_data1 : m_data2;
            int color = kBlackIndex;
            if (amount > 0)
                color =
                    int(std::count_if(list.begin(), list.end(), [](const PieChartData &s) { return s.value != 0; }));
            list.push_back({unit, amount, 0, color});
        }
    } else {
        for (const NodePtr &unit : m_data) {
            const double value = m_doc->valueForAccount(unit, date(0));
            std::vector<PieChartData> &list = (isAsset(unit) || !hasAssetIncome()) ? m_data1 : m_data2;
            list.push_back({unit, value, 0, int(list.size())});
        }
    }
    if (m_option & kSorted) {
        for (std::vector<PieChartData> *list : {&m_data1, &m_data2})
            std::stable_sort(list->begin(), list->end(), [](const PieChartData &a, const PieChartData &b) {
                return PieChartData::dvCompare(a, b) < 0;
            });
    }
    calcRate(m_data1);
    calcRate(m_data2);
}

void PieChart::calcRate(std::vector<PieChartData> &list)
{
    double total = 0;
    for (const PieChartData &slice : list) total += slice.value;
    if (total == 0) return;
    int small = 0;
    double smallSum = 0;
    for (PieChartData &slice : list) {
        slice.rate = slice.value / total * 100;
        if (slice.rate < kSmallRate) {
            ++small;
            smallSum += slice.value;
        }
    }
    if (small < 2) return;
    size_t at = 0;
    for (size_t i = list.size(); i > 0; --i) {
        if (list[i - 1].rate >= kSmallRate) {
            at = i;
            break;
        }
    }
    list.insert(list.begin() + qsizetype(at), PieChartData{nullptr, smallSum, smallSum / total * 100, kBlackIndex});
}

QString PieChart::label(const PieChartData &slice) const
{
    if (slice.unit) return m_doc ? m_doc->displayName(*slice.unit) : slice.unit->name();
    return cv::localizedString(m_mode == Accounts ? "Chart-Account-Under5Percent" : "Chart-Actual-Under5Percent");
}

void PieChart::drawContentRect(cv::Canvas &canvas, const QRectF &rect)
{
    const double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    if (m_data.empty() || !m_doc || x + kLegendWidth + 32 >= x + w) return;
    cv::CurrencyPrintingScope printing(*m_doc);
    const double r = std::min(h / 2, w - kLegendWidth) * 0.5;
    const double radius = r * 0.5;
    const double cx = x + kLegendWidth + 1.4 * r;
    double lw = 0;
    for (const auto *list : {&m_data1, &m_data2})
        for (const PieChartData &slice : *list) lw = std::max(lw, canvas.textWidth(label(slice)));
    // Names take the room up to the pies, and at least the usual column.
    const double room = cx - radius - 8 - (x + kLegendRightOfName);
    lw = std::min(lw, std::max(kMaxLabelWidth, room));
    drawList(canvas, m_data1, x, y + h, lw, radius, QPointF(cx, y + 0.75 * h));
    if (!m_data2.empty()) drawList(canvas, m_data2, x, y + h / 2, lw, radius, QPointF(cx, y + 0.25 * h));
}

void PieChart::drawList(cv::Canvas &canvas, const std::vector<PieChartData> &list, double x, double top, double lw,
                        double radius, const QPointF &centre)
{
    if (list.empty()) return;
    const NodePtr &firstUnit = list.front().unit ? list.front().unit : list.back().unit;
    const char *titleKey = nullptr;
    if (m_mode == Accounts) {
        titleKey = firstUnit && isAsset(firstUnit) ? "Legend-Asset" : "Legend-Debt";
    } else {
        const NodePtr income = m_doc->categoryTrees() ? m_doc->categoryTrees()->income() : nullptr;
        titleKey = firstUnit && income && firstUnit->hasAncestor(income.get()) ? "Legend-Income" : "Legend-Expense";
    }
    drawText(canvas, cv::localizedString(titleKey), x, top - 24);
    drawRight(canvas, cv::localizedString("Chart-Legend-Value"), x + lw + 54, top - 24, kColumnWidth);
    drawRight(canvas, cv::localizedString("Chart-Legend-Rate"), x + lw + 102, top - 24, kColumnWidth);

    double total = 0;
    bool gathered = false;
    for (const PieChartData &slice : list) {
        if (slice.unit)
            total += slice.value;
        else
            gathered = true;
    }
    for (size_t j = 0; j < list.size(); ++j) {
        const PieChartData &slice = list[j];
        const double row = top - 48 - 24 * double(j);
        // Small slices inside the gathered one have no colour of their own.
        if (!(slice.unit && slice.rate < kSmallRate && gathered)) {
            const QRectF swatch = box(x, row + 2, 48, 10);
            canvas.fillRect(swatch, chartColor(slice.colorIndex));
            canvas.strokeRect(swatch, 0.5, kOutlineGrey);
        }
        // A name may run on into the part of the value column its figure leaves free.
        const QString value = m_doc->stringForValue(slice.value, 0);
        const double nameWidth = lw + kColumnWidth - canvas.textWidth(value) - 8;
        canvas.drawText(label(slice), box(x + 54, row, nameWidth, kLineHeight), cv::TextAlign::Left, true);
        drawRight(canvas, value, x + 54 + lw, row, kColumnWidth);
        drawRight(canvas, rateText(slice.rate), x + 102 + lw, row, kColumnWidth);
    }
    const double count = double(list.size());
    canvas.fillRect(box(x + 48, top - (24 * count + 24) - 8, lw + 156, 1), Qt::black);
    drawText(canvas, cv::localizedString("Chart-Legend-Total"), x + 54, top - (24 * count + 48));
    drawRight(canvas, m_doc->stringForValue(total, 0), x + 54 + lw, top - (24 * count + 48), kColumnWidth);

    drawPie(canvas, list, radius, centre, gathered);
}

void PieChart::drawPie(cv::Canvas &canvas, const std::vector<PieChartData> &list, double radius, const QPointF &centre,
                       bool underFive)
{
    // The slices drawn: up to the first small one a gathered slice stands for.
    size_t end = 0;
    for (; end < list.size(); ++end)
        if (underFive && list[end].unit && list[end].rate < kSmallRate) break;
    // Only positive values take a wedge: a negative one would run backwards
    // over its neighbours.
    double positive = 0;
    for (size_t i = 0; i < end; ++i)
        if (list[i].value > 0) positive += list[i].value;
    if (!(positive > 0) || !std::isfinite(positive)) return;

    const QPointF c(centre.x(), flipY(centre.y()));
    const QRectF circle(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    double a = 0;
    for (size_t i = 0; i < end; ++i) {
        const double v = list[i].value;
        if (!(v > 0)) continue;
        QPainterPath wedge;
        wedge.moveTo(c);
        wedge.arcTo(circle, 90 - a / positive * 360, -v / positive * 360);
        wedge.closeSubpath();
        canvas.fillPath(wedge, chartColor(list[i].colorIndex));
        a += v;
    }

    a = 0;
    for (size_t i = 0; i < end; ++i) {
        const double v = list[i].value;
        if (!(v > 0)) continue;
        const double share = v / positive * 100;
        const double angle = (90 - (a + v / 2) / positive * 360) * std::numbers::pi / 180;
        const QString text = rateText(share);
        const double width = canvas.textWidth(text);
        double reach = radius * (share < kSmallRate ? 0.9 : 0.8);
        // A label wider than its wedge's arc goes outside the pie, in black;
        // inside, black on light colours and white on dark ones.
        const bool inside = width + 4 <= reach * share / 100 * 2 * std::numbers::pi;
        if (!inside)
            reach =
                radius + 4 + width * 0.5 * std::fabs(std::cos(angle)) + kLineHeight * 0.5 * std::fabs(std::sin(angle));
        const QColor fill = chartColor(list[i].colorIndex);
        const bool light = 0.299 * fill.redF() + 0.587 * fill.greenF() + 0.114 * fill.blueF() > 0.6;
        canvas.setTextColor(inside && !light ? Qt::white : Qt::black);
        const double px = centre.x() + std::cos(angle) * reach;
        const double py = centre.y() + std::sin(angle) * reach;
        drawText(canvas, text, px - width * 0.5, py - (inside ? 6 : kLineHeight * 0.5));
        a += v;
    }
    canvas.setTextColor(Qt::black);
}

} // namespace cv
