#include "charts/Chart.h"

#include "document/ReadOnlyBook.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <array>
#include <cmath>

namespace cv {

namespace {

const QColor kRuleGrey = QColor::fromRgbF(0.5, 0.5, 0.5);

// v / 10^exponent without the rounding of a negative power of ten: 5 / 0.1
// must give 50, not 49.999...
double scaled(double v, int exponent)
{
    return exponent >= 0 ? v / std::pow(10.0, exponent) : v * std::pow(10.0, -exponent);
}

double unscaled(double n, int exponent)
{
    return exponent >= 0 ? n * std::pow(10.0, exponent) : n / std::pow(10.0, -exponent);
}

} // namespace

Chart::Chart(cv::PageSetup &setup, bool landscape)
{
    setup.orientation = landscape ? cv::PageSetup::Landscape : cv::PageSetup::Portrait;
    setPageSetup(setup);
}

void Chart::setPageSetup(const cv::PageSetup &setup)
{
    m_setup = setup;
    m_paperHeight = setup.paperSize().height();
    m_leftMargin = int(setup.margins.left());
    m_topMargin = int(setup.margins.top());
    m_rightMargin = int(setup.margins.right());
    m_bottomMargin = int(setup.margins.bottom());
}

void Chart::setDateFrom(const QDate &from, const QDate &to)
{
    m_date1 = from;
    m_date2 = to;
}

QDate Chart::date(int which) const
{
    return which == 0 ? m_date1 : which == 1 ? m_date2 : QDate();
}

QColor Chart::chartColor(int index)
{
    static const std::array<QColor, kPaletteSize> palette = {
        QColor::fromRgbF(0.22, 0.48, 0.81), QColor::fromRgbF(0.8, 0.44, 0.61),  QColor::fromRgbF(0.48, 0.65, 0.42),
        QColor::fromRgbF(0.84, 0.65, 0.33), QColor::fromRgbF(0.75, 0.75, 0.75), QColor::fromRgbF(0.97, 0.84, 0.42),
        QColor::fromRgbF(0.45, 0.52, 0.68), QColor::fromRgbF(0.52, 0.45, 0.68), QColor::fromRgbF(0.71, 0.42, 0.42),
        QColor::fromRgbF(0.48, 0.65, 0.42)};
    return index >= 0 && index < kPaletteSize ? palette[size_t(index)] : QColor(Qt::black);
}

Chart::Axis Chart::calcAxis(double max, double min)
{
    Axis axis;
    // Values so far apart that their distance overflows have no scale either.
    if (!std::isfinite(max - min) || (max == 0 && min == 0)) return axis;
    if (max != min) {
        const int e = int(std::trunc(std::log10(max - min))) - 1;
        axis.unit = unscaled(1, e);
        axis.ceil = unscaled(std::trunc(scaled(max, e)) + 2, e);
        axis.floor = unscaled(std::trunc(scaled(min, e)) - 2, e);
        if (max <= 0 && (axis.ceil > 0 || -axis.ceil < 2 * axis.unit)) axis.ceil = 0;
        if (min >= 0 && (axis.floor < 0 || axis.floor < 2 * axis.unit)) axis.floor = 0;
        return axis;
    }
    const int e = int(std::trunc(std::log10(std::fabs(max)))) - 1;
    axis.unit = unscaled(1, e);
    axis.floor = unscaled(std::trunc(scaled(max, e)) - 5, e);
    axis.ceil = axis.floor + 10 * axis.unit;
    if (max > 0 && axis.floor < 0) axis.floor = 0;
    if (max < 0 && axis.ceil > 0) axis.ceil = 0;
    return axis;
}

double Chart::gridStep(const Axis &axis, double axisSize)
{
    const double range = axis.ceil - axis.floor;
    // Without a length, a unit or a range the step search below never ends.
    if (!(axisSize > 0) || !(axis.unit > 0) || !(range > 0) || !std::isfinite(axisSize * axis.unit / range)) return 0;
    double p = axisSize * axis.unit / range;
    double s = 1;
    while (p < 24) {
        p *= 10;
        s *= 10;
    }
    if (s > 1 && p >= 120)
        s /= 5;
    else if (s > 1 && p >= 48)
        s /= 2;
    return s * axis.unit;
}

bool Chart::shouldDrawTheLineFor(double v, const Axis &axis, double axisSize)
{
    if (v == axis.ceil || v == axis.floor) return false;
    if (v == 0) return true;
    const double step = gridStep(axis, axisSize);
    if (!(step > 0)) return false;
    const double s = std::round(step / axis.unit);
    if (s == 1) return true;
    // Values lie on the unit's grid: rounding keeps 4.7 / 0.1 at 47.
    const double n = std::round(v / axis.unit);
    return std::fmod(n, s) == 0 && step <= v - axis.floor && step <= axis.ceil - v;
}

Chart::DateStep Chart::scaleAdvance(const QDate &from, const QDate &to)
{
    const qint64 n = from.daysTo(to);
    if (n <= 10) return {0, 1};
    if (n < 60) return {0, 10};
    if (n < 365) return {1, 0};
    if (n < 730) return {2, 0};
    if (n < 1095) return {3, 0};
    if (n < 3650) return {6, 0};
    return {12, 0};
}

cv::CanvasFont Chart::reportFont()
{
    return cv::CanvasFont{cv::localizedString(QStringLiteral("Report-Font")), kFontSize};
}

void Chart::drawText(cv::Canvas &canvas, const QString &text, double x, double y) const
{
    canvas.drawTextAt(text, QPointF(x, flipY(y) - kLineHeight), kLineHeight);
}

void Chart::drawRight(cv::Canvas &canvas, const QString &text, double x, double y, double width) const
{
    canvas.drawText(text, box(x, y, width, kLineHeight), cv::TextAlign::Right, false);
}

void Chart::drawCentered(cv::Canvas &canvas, const QString &text, double x, double y, double width) const
{
    canvas.drawText(text, box(x, y, width, kLineHeight), cv::TextAlign::Center, false);
}

void Chart::drawSheet(int sheet, cv::Canvas &canvas)
{
    if (sheet < 1 || sheet > m_pages) {
        Q_ASSERT(!"sheet outside the chart");
        return;
    }
    m_curPage = sheet - 1;
    canvas.setFont(reportFont());
    canvas.setTextColor(Qt::black);

    const QSizeF paper = m_setup.paperSize();
    const double x = m_leftMargin;
    const double y = m_bottomMargin;
    const double w = paper.width() - m_leftMargin - m_rightMargin;
    double h = paper.height() - m_bottomMargin - m_topMargin;
    if (!(w > 64 && h > 64)) return;
    if (!m_title.isEmpty()) {
        h -= 36;
        drawCentered(canvas, m_title, x, y + h + 12, w);
    }
    canvas.fillRect(box(x, y, w, 1), kRuleGrey);
    canvas.fillRect(box(x, y + h - 1, w, 1), kRuleGrey);
    if (m_date1.isValid()) {
        const QString format = cv::localizedString(QStringLiteral("YYYY/MM/DD"));
        const QString start = cv::formatDate(m_date1, format);
        const QString text = m_date2.isValid() && m_date1 < m_date2
                                 ? cv::formatString(cv::localizedString(QStringLiteral("Chart-DateRange-Format")),
                                                    {start, cv::formatDate(m_date2, format)})
                                 : start;
        h -= 36;
        drawRight(canvas, text, x, y + h + 12, w - 50);
    }
    drawContentRect(canvas, QRectF(x, y, w, h));
}

NodePtr Chart::firstPageRoot(const ReadOnlyBook *document, int mode)
{
    if (document && mode == Accounts && document->accountTrees()) return document->accountTrees()->asset();
    if (document && mode == Categories && document->categoryTrees()) return document->categoryTrees()->income();
    return nullptr;
}

} // namespace cv
