#include "platform/print/PainterCanvas.h"

#include "platform/Assert.h"

#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace cv {

namespace {

int alignmentFlags(TextAlign align)
{
    switch (align) {
    case TextAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case TextAlign::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    case TextAlign::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

PainterCanvas::PainterCanvas(QPainter &painter) : m_painter(painter)
{
    Q_ASSERT(painter.isActive());
    if (QPaintDevice *device = painter.device()) m_dpi = device->logicalDpiY() > 0 ? device->logicalDpiY() : 72;
    m_painter.save();
    m_painter.scale(m_dpi / 72.0, m_dpi / 72.0);
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    setFont(CanvasFont{});
}

PainterCanvas::~PainterCanvas()
{
    while (m_saves > 0) restore();
    m_painter.restore();
}

bool PainterCanvas::holdsJapanese(const QString &text)
{
    // From the CJK radicals on: kana, kanji, CJK marks and full-width forms.
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x2E80; });
}

QFont PainterCanvas::qfont(const CanvasFont &font, double deviceDpi, bool japanese)
{
    QFont f;
    QStringList families;
    if (japanese) families.append(QStringLiteral("BIZ UDGothic"));
    if (!font.family.isEmpty()) families.append(font.family);
    if (!families.isEmpty()) f.setFamilies(families);
    f.setPointSizeF(std::max(font.size, 0.5) * 72.0 / deviceDpi);
    f.setBold(font.bold);
    // Glyphs keep their outline widths so that measuring and drawing agree at
    // every device resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    // Shaped among Latin letters, the CJK font's digits become glyph variants
    // that a PDF cannot map back to text: dates and page numbers could not be
    // searched or copied. Scripts that need shaping are still shaped.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

void PainterCanvas::setFont(const CanvasFont &font)
{
    m_font = font;
    m_qfont = qfont(font, m_dpi);
    m_japaneseQfont = qfont(font, m_dpi, true);
    m_painter.setFont(m_qfont);
    m_metrics.emplace(m_qfont, m_painter.device());
    m_japaneseMetrics.reset();
}

const QFontMetricsF &PainterCanvas::metricsFor(const QString &text) const
{
    if (!holdsJapanese(text)) return *m_metrics;
    if (!m_japaneseMetrics) m_japaneseMetrics.emplace(m_japaneseQfont, m_painter.device());
    return *m_japaneseMetrics;
}

double PainterCanvas::textWidth(const QString &text) const
{
    return metricsFor(text).horizontalAdvance(text);
}

QString PainterCanvas::truncated(const QString &text, double width) const
{
    return metricsFor(text).elidedText(text, Qt::ElideRight, std::max(width, 0.0));
}

void PainterCanvas::drawText(const QString &text, const QRectF &box, TextAlign align, bool truncate)
{
    if (text.isEmpty()) return;
    const QString shown = truncate ? truncated(text, box.width()) : text;
    const bool japanese = holdsJapanese(text);
    if (japanese) m_painter.setFont(m_japaneseQfont);
    m_painter.setPen(m_textColor);
    m_painter.drawText(box, alignmentFlags(align) | Qt::TextSingleLine | Qt::TextDontClip, shown);
    if (japanese) m_painter.setFont(m_qfont);
}

void PainterCanvas::fillRect(const QRectF &rect, const QColor &color)
{
    m_painter.fillRect(rect, color);
}

void PainterCanvas::strokeRect(const QRectF &rect, double lineWidth, const QColor &color)
{
    m_painter.setPen(QPen(color, lineWidth));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(rect);
}

void PainterCanvas::strokeLine(const QPointF &from, const QPointF &to, double lineWidth, const QColor &color)
{
    m_painter.setPen(QPen(color, lineWidth));
    m_painter.drawLine(from, to);
}

void PainterCanvas::fillPath(const QPainterPath &path, const QColor &color)
{
    m_painter.fillPath(path, color);
}

void PainterCanvas::strokePath(const QPainterPath &path, double lineWidth, const QColor &color)
{
    m_painter.strokePath(path, QPen(color, lineWidth));
}

void PainterCanvas::strokePolyline(const QPointF *points, qsizetype count, double lineWidth, const QColor &color)
{
    if (count < 2) return;
    const CanvasOutput out = output();
    if (out == CanvasOutput::Recording) {
        // A preview's recording is painted again on the screen at every zoom:
        // short runs keep each fill small there and the recording compact.
        constexpr qsizetype kRun = 8;
        m_painter.setPen(QPen(color, lineWidth));
        for (qsizetype at = 0; at + 1 < count; at += kRun)
            m_painter.drawPolyline(points + at, int(std::min(kRun + 1, count - at)));
        return;
    }
    if (out != CanvasOutput::Pixels) {
        // Vector output keeps the path with its joins.
        m_painter.setPen(QPen(color, lineWidth));
        m_painter.drawPolyline(points, int(count));
        return;
    }
    // The raster engine strokes a path by filling its outline, scan line by
    // scan line over every edge: thousands of spikes take seconds. Separate
    // butt-ended lines take its quick line path; the bevel of each join and
    // the square ends are added, so the ink is the path's.
    const double half = lineWidth / 2;
    std::vector<QLineF> lines;
    lines.reserve(size_t(count));
    for (qsizetype i = 1; i < count; ++i)
        if (points[i] != points[i - 1]) lines.emplace_back(points[i - 1], points[i]);
    if (lines.empty()) return;
    auto extended = [half](QPointF from, QPointF to) {
        const QLineF line(from, to);
        return to + (to - from) * (half / line.length());
    };
    lines.front().setP1(extended(lines.front().p2(), lines.front().p1()));
    lines.back().setP2(extended(lines.back().p1(), lines.back().p2()));
    QPen pen(color, lineWidth);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLines(lines.data(), int(lines.size()));

    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(color);
    for (size_t i = 1; i < lines.size(); ++i) {
        const QPointF a = lines[i - 1].p2() - lines[i - 1].p1();
        const QPointF b = lines[i].p2() - lines[i].p1();
        const double la = std::hypot(a.x(), a.y());
        const double lb = std::hypot(b.x(), b.y());
        const double turn = (a.x() * b.y() - a.y() * b.x()) / (la * lb);
        // Nearly straight joins leave no gap worth a polygon.
        if (std::fabs(turn) < 0.02) continue;
        const double side = turn > 0 ? -half : half;
        const QPointF at = lines[i].p1();
        const QPointF bevel[3] = {at, at + QPointF(-a.y(), a.x()) * (side / la),
                                  at + QPointF(-b.y(), b.x()) * (side / lb)};
        m_painter.drawConvexPolygon(bevel, 3);
    }
    m_painter.setBrush(Qt::NoBrush);
}

double PainterCanvas::devicePixelsPerPoint() const
{
    // The painter's own scale (a preview's zoom) counts as well as the device's.
    return std::hypot(m_painter.deviceTransform().m11(), m_painter.deviceTransform().m12());
}

CanvasOutput PainterCanvas::output() const
{
    const QPaintEngine *engine = m_painter.paintEngine();
    const QPaintEngine::Type type = engine ? engine->type() : QPaintEngine::Pdf;
    if (type == QPaintEngine::Raster) return CanvasOutput::Pixels;
    if (type == QPaintEngine::Picture) return CanvasOutput::Recording;
    return CanvasOutput::Vector;
}

void PainterCanvas::drawImage(const QRectF &rect, const QImage &image)
{
    m_painter.drawImage(rect, image);
}

void PainterCanvas::save()
{
    m_painter.save();
    ++m_saves;
}

void PainterCanvas::restore()
{
    CV_ASSERT_OR(m_saves > 0, return ); // a restore without its save
    m_painter.restore();
    --m_saves;
    // The font is the canvas's state, not the clip's.
    m_painter.setFont(m_qfont);
}

void PainterCanvas::clipTo(const QRectF &rect)
{
    m_painter.setClipRect(rect, Qt::IntersectClip);
}

} // namespace cv
