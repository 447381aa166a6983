#include "charts/SeriesChart.h"

#include "document/ReadOnlyBook.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <algorithm>
#include <cmath>

namespace cv {

const QColor SeriesChart::kGridGrey = QColor::fromRgbF(0.3, 0.3, 0.3);
const QColor SeriesChart::kFrameGrey = QColor::fromRgbF(0.5, 0.5, 0.5);

namespace {

constexpr double kLegendWidth = 192;

} // namespace

std::vector<QDate> SeriesChart::sampleDates(const QDate &from, const QDate &to, bool monthly)
{
    std::vector<QDate> dates;
    if (!from.isValid() || !to.isValid() || to < from) return dates;
    if (monthly) {
        int m = (to.year() - from.year()) * 12 + (to.month() - from.month()) + 1;
        if (to.day() < from.day()) --m;
        // Each date counts from the start, so a short month never shifts the
        // day of the months after it (31 Jan, 28 Feb, 31 Mar).
        for (int k = 0; k < m; ++k) dates.push_back(from.addMonths(k));
    } else {
        const qint64 m = from.daysTo(to) + 1;
        dates.reserve(size_t(m));
        for (qint64 k = 0; k < m; ++k) dates.push_back(from.addDays(k));
    }
    return dates;
}

void SeriesChart::setDocument(ReadOnlyBook *document, int mode, int option, const QString &title,
                              const std::vector<NodePtr> &data, const QDate &from, const QDate &to)
{
    m_doc = document;
    m_mode = mode;
    m_option = option;
    setDateFrom(from, to);
    setTitle(title);
    m_data1.clear();
    m_data2.clear();
    const NodePtr first = firstPageRoot(document, mode);
    auto underFirst = [&first](const NodePtr &unit) { return first && unit && unit->hasAncestor(first.get()); };
    setHasAssetIncome(std::any_of(data.begin(), data.end(), underFirst));
    for (const NodePtr &unit : data) {
        if (!unit) continue;
        if (underFirst(unit) || !hasAssetIncome())
            m_data1.push_back(unit);
        else
            m_data2.push_back(unit);
    }
    setPages(m_data2.empty() ? 1 : 2);
    m_series1 = collect(m_data1);
    m_series2 = collect(m_data2);
}

double SeriesChart::valueOf(const NodePtr &item, const QDate &date) const
{
    if (m_mode == Accounts) return m_doc->valueForAccount(item, date);
    if (m_option & kMonthly) return m_doc->summaryForCategoryMonths(item, date, 1);
    return m_doc->valueForCategory(item, date);
}

SeriesChart::Series SeriesChart::collect(const std::vector<NodePtr> &items) const
{
    Series series;
    if (!m_doc || items.empty()) return series;
    const std::vector<QDate> dates = sampleDates(date(0), date(1), m_option & kMonthly);
    const int columns = int(dates.size());
    series.values.setRow(int(items.size()), columns);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < int(items.size()); ++r) {
            const double v = valueOf(items[size_t(r)], dates[size_t(c)]);
            series.values.setValue(v, r, c);
            // Infinite and missing values would stretch the axis to nothing.
            if (!std::isfinite(v)) continue;
            series.max = series.hasFinite ? std::max(series.max, v) : v;
            series.min = series.hasFinite ? std::min(series.min, v) : v;
            series.hasFinite = true;
        }
    }
    return series;
}

QString SeriesChart::amountText(double value) const
{
    return m_doc ? m_doc->stringForValue(value, 0) : QString::number(value);
}

QString SeriesChart::legendTitle(const NodePtr &first) const
{
    const char *key = "Legend-Expense";
    if (m_doc && m_doc->accountTrees() && first->hasAncestor(m_doc->accountTrees()->asset().get()))
        key = "Legend-Asset";
    else if (m_doc && m_doc->accountTrees() && first->hasAncestor(m_doc->accountTrees()->debt().get()))
        key = "Legend-Debt";
    else if (m_doc && m_doc->categoryTrees() && first->hasAncestor(m_doc->categoryTrees()->income().get()))
        key = "Legend-Income";
    return cv::localizedString(key);
}

void SeriesChart::drawContentRect(cv::Canvas &canvas, const QRectF &rect)
{
    const std::vector<NodePtr> &data = items(currentPage());
    const Series &values = series(currentPage());
    const double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    if (data.empty() || w <= kLegendWidth + 32 || !m_doc) return;

    Plot plot;
    plot.y = y + 72;
    plot.h = (h - 12) * 0.8;
    plot.axis = onSteps(values.hasFinite ? calcAxis(values.max, values.min) : Axis{}, plot.h);
    const double lw =
        std::max(canvas.textWidth(amountText(plot.axis.ceil)), canvas.textWidth(amountText(plot.axis.floor)));
    plot.x = x + kLegendWidth + lw + 6 + 36;
    plot.w = (x + w - plot.x + 36) * 0.8;

    drawText(canvas, legendTitle(data.front()), x, y + h);
    // Names run up to the value labels beside the plot.
    const double nameWidth = std::max(kLegendWidth - 54 - 6, plot.x - lw - 6 - 12 - (x + 54));
    for (size_t i = 0; i < data.size(); ++i) {
        const double o = 48 + 24 * double(i);
        drawLegendSample(canvas, x, y + h - o, int(i));
        canvas.drawText(m_doc->displayName(*data[i]), box(x + 54, y + h - o, nameWidth, kLineHeight),
                        cv::TextAlign::Left, true);
    }
    if (plot.w <= 2 || plot.h <= 2) return;
    canvas.strokeRect(box(plot.x, plot.y, plot.w, plot.h), 2, kFrameGrey);
    drawDateGrid(canvas, plot);
    drawValues(canvas, plot, data, values);
}

void SeriesChart::drawLegendSample(cv::Canvas &canvas, double x, double y, int i) const
{
    canvas.fillRect(box(x, y + 6, 48, 2), chartColor(i));
}

Chart::Axis SeriesChart::onSteps(Axis axis, double axisSize)
{
    // A wider range may take a coarser step: settle in a few rounds.
    for (int round = 0; round < 4; ++round) {
        const double step = gridStep(axis, axisSize);
        if (!(step > 0)) break;
        const double ceil = std::ceil(axis.ceil / step - 1e-9) * step;
        const double floor = std::floor(axis.floor / step + 1e-9) * step;
        if (ceil == axis.ceil && floor == axis.floor) break;
        axis.ceil = ceil;
        axis.floor = floor;
    }
    return axis;
}

void SeriesChart::drawDateGrid(cv::Canvas &canvas, const Plot &plot) const
{
    const QDate start = date(0);
    const QDate end = date(1);
    if (!start.isValid() || !end.isValid()) return;
    const DateStep step = scaleAdvance(start, end);
    const QString format = step.months > 0 ? QStringLiteral("%y/%m") : QStringLiteral("%m/%d");
    const double total = double(start.daysTo(end));
    for (int k = 0;; ++k) {
        const QDate d = step.months > 0 ? start.addMonths(k * step.months) : start.addDays(qint64(k) * step.days);
        const double t = double(start.daysTo(d));
        if (t >= total) break;
        const double xd = plot.x + 1 + (plot.w - 2) * t / total;
        if (xd >= plot.x + plot.w - 8) break;
        canvas.fillRect(box(xd, plot.y + 1, 1, plot.h - 2), kGridGrey);
        const QString label = cv::formatDate(d, format);
        const double lx = centresDateLabels() ? xd - canvas.textWidth(label) * 0.5 : xd;
        drawText(canvas, label, lx, plot.y - 18);
    }
}

} // namespace cv
