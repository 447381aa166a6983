#include "charts/ColumnInk.h"

#include <QImage>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace cv {

double ColumnInk::pixelsPerPoint(const Canvas &canvas)
{
    const double device = canvas.devicePixelsPerPoint();
    const double scale = device > 0 && std::isfinite(device) ? device : 1;
    return canvas.output() == CanvasOutput::Recording ? std::min(scale, 150.0 / 72) : scale;
}

ColumnInk::ColumnInk(double left, double right, double pixelsPerPoint)
    : m_left(left), m_scale(pixelsPerPoint > 0 && std::isfinite(pixelsPerPoint) ? pixelsPerPoint : 1),
      m_width(1 / m_scale), m_count(int(std::max(0.0, std::ceil((right - left) * m_scale))))
{
}

int ColumnInk::columnAt(double x) const
{
    return int(std::clamp(std::floor((x - m_left) * m_scale), -1.0, double(m_count)));
}

std::vector<ColumnInk::Span> ColumnInk::stroke(const std::vector<QPointF> &points, double radius) const
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    std::vector<Span> line(size_t(m_count), Span{inf, -inf});
    auto cover = [&](int k, double y0, double y1) {
        if (k < 0 || k >= m_count) return;
        Span &s = line[size_t(k)];
        s.top = std::min({s.top, y0, y1});
        s.bottom = std::max({s.bottom, y0, y1});
    };
    // Within a column a continuous line covers every height between its
    // lowest and highest there, crossings of the column's edges included.
    const QPointF *from = nullptr;
    int drawn = 0;
    for (const QPointF &p : points) {
        if (!std::isfinite(p.y()) || !std::isfinite(p.x())) continue;
        if (from) {
            const QPointF a = *from, b = p;
            const int k0 = columnAt(a.x()), k1 = columnAt(b.x());
            const double dx = b.x() - a.x();
            auto yAt = [&](double x) { return dx > 0 ? a.y() + (b.y() - a.y()) * (x - a.x()) / dx : a.y(); };
            for (int k = std::max(k0, 0); k <= std::min(k1, m_count - 1); ++k) {
                const double xs = std::max(a.x(), columnLeft(k)), xe = std::min(b.x(), columnLeft(k + 1));
                cover(k, k == k0 ? a.y() : yAt(xs), k == k1 ? b.y() : yAt(xe));
            }
        }
        from = &p;
        ++drawn;
    }
    // A single point strokes nothing, as a path of one point does not.
    if (drawn < 2) return std::vector<Span>(size_t(m_count));

    // The pen's round edge: a neighbour d columns away reaches sqrt(r² - d²) further.
    const double reach = std::max(radius, 0.0) * m_scale;
    const int d = int(std::floor(reach));
    std::vector<double> rise(size_t(d) + 1);
    for (int i = 0; i <= d; ++i) rise[size_t(i)] = std::sqrt(reach * reach - double(i) * i) / m_scale;
    std::vector<Span> spans(size_t(m_count), Span{inf, -inf});
    for (int k = 0; k < m_count; ++k) {
        const Span &s = line[size_t(k)];
        if (!(s.bottom >= s.top)) continue; // the line does not reach it
        for (int j = std::max(0, k - d); j <= std::min(m_count - 1, k + d); ++j) {
            const double r = rise[size_t(std::abs(j - k))];
            spans[size_t(j)].top = std::min(spans[size_t(j)].top, s.top - r);
            spans[size_t(j)].bottom = std::max(spans[size_t(j)].bottom, s.bottom + r);
        }
    }
    return spans;
}

void ColumnInk::addLayer(std::vector<Span> spans, const QColor &color)
{
    spans.resize(size_t(m_count));
    m_layers.push_back(Layer{std::move(spans), color});
}

void ColumnInk::draw(Canvas &canvas) const
{
    if (m_count <= 0 || m_layers.empty()) return;
    if (canvas.output() == CanvasOutput::Pixels)
        drawImage(canvas);
    else
        drawOutlines(canvas);
}

void ColumnInk::drawImage(Canvas &canvas) const
{
    // In bands of columns, so that a fine device never needs one huge image.
    constexpr int kBand = 512;
    for (int first = 0; first < m_count; first += kBand) {
        const int end = std::min(m_count, first + kBand);
        double top = std::numeric_limits<double>::infinity(), bottom = -top;
        for (const Layer &layer : m_layers)
            for (int k = first; k < end; ++k)
                if (const Span &s = layer.spans[size_t(k)]; !s.empty()) {
                    top = std::min(top, s.top);
                    bottom = std::max(bottom, s.bottom);
                }
        if (!(bottom > top)) continue;
        const double row0 = std::floor(top * m_scale);
        const int rows = int(std::ceil(bottom * m_scale) - row0);
        QImage image(end - first, rows, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        for (const Layer &layer : m_layers) inkBand(image, layer, first, row0);
        canvas.drawImage(QRectF(columnLeft(first), row0 / m_scale, (end - first) / m_scale, rows / m_scale), image);
    }
}

void ColumnInk::inkBand(QImage &image, const Layer &layer, int first, double row0) const
{
    auto *bits = reinterpret_cast<QRgb *>(image.bits());
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    const int rows = image.height();
    const QRgb ink = qPremultiply(layer.color.rgba());
    // Source over, the ink covering that share of the pixel.
    auto blend = [ink](QRgb &dst, double covered) {
        const int a = int(std::lround(std::clamp(covered, 0.0, 1.0) * 255));
        const int keep = 255 - qAlpha(ink) * a / 255;
        dst = qRgba(qRed(ink) * a / 255 + qRed(dst) * keep / 255, qGreen(ink) * a / 255 + qGreen(dst) * keep / 255,
                    qBlue(ink) * a / 255 + qBlue(dst) * keep / 255, qAlpha(ink) * a / 255 + qAlpha(dst) * keep / 255);
    };
    // Column after column: the next column's pixels share the cache lines.
    for (int x = 0; x < image.width(); ++x) {
        const Span &s = layer.spans[size_t(first + x)];
        if (s.empty()) continue;
        const double y0 = s.top * m_scale - row0, y1 = s.bottom * m_scale - row0;
        const int j0 = std::max(0, int(std::floor(y0))), j1 = std::min(rows, int(std::ceil(y1)));
        if (j1 <= j0) continue;
        QRgb *column = bits + x;
        if (j1 - j0 == 1) {
            blend(column[j0 * stride], y1 - y0);
            continue;
        }
        blend(column[j0 * stride], j0 + 1 - y0);
        blend(column[(j1 - 1) * stride], y1 - (j1 - 1));
        for (int j = j0 + 1; j < j1 - 1; ++j) {
            if (qAlpha(ink) == 255)
                column[j * stride] = ink;
            else
                blend(column[j * stride], 1);
        }
    }
}

void ColumnInk::drawOutlines(Canvas &canvas) const
{
    for (const Layer &layer : m_layers) {
        QPainterPath path;
        int k = 0;
        while (k < m_count) {
            if (layer.spans[size_t(k)].empty()) {
                ++k;
                continue;
            }
            // One outline a run of columns: the tops left to right, the bottoms back.
            const int first = k;
            path.moveTo(columnLeft(k), layer.spans[size_t(k)].top);
            for (; k < m_count && !layer.spans[size_t(k)].empty(); ++k) {
                path.lineTo(columnLeft(k), layer.spans[size_t(k)].top);
                path.lineTo(columnLeft(k + 1), layer.spans[size_t(k)].top);
            }
            for (int j = k - 1; j >= first; --j) {
                path.lineTo(columnLeft(j + 1), layer.spans[size_t(j)].bottom);
                path.lineTo(columnLeft(j), layer.spans[size_t(j)].bottom);
            }
            path.closeSubpath();
        }
        if (!path.isEmpty()) canvas.fillPath(path, layer.color);
    }
}

} // namespace cv
