#pragma once
// What every printed page draws on: a sheet measured in points with its
// top-left corner as origin. Pages, reports and charts draw through this one
// interface; the painter canvas puts it on printers, PDF and previews, the
// recording canvas keeps the calls for tests.

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace cv {

enum class TextAlign { Left, Right, Center };

// What a canvas ends on: vector output (PDF, printers) keeps every line;
// pixels (images, the screen) and a preview's recording, painted again on
// the screen, show nothing finer than their pixels.
enum class CanvasOutput { Vector, Pixels, Recording };

struct CanvasFont {
    QString family;
    double size = 11; // points
    bool bold = false;
    bool operator==(const CanvasFont &) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void setFont(const CanvasFont &font) = 0;
    virtual CanvasFont font() const = 0;
    virtual void setTextColor(const QColor &color) = 0;
    // Width of the text in the current font, in points.
    virtual double textWidth(const QString &text) const = 0;
    // The text cut at its tail with "…" so that it fits the width.
    virtual QString truncated(const QString &text, double width) const = 0;

    // One line in the box, centred vertically; with truncate the tail is cut
    // to the box's width, without it the text may run past the box.
    virtual void drawText(const QString &text, const QRectF &box, TextAlign align, bool truncate) = 0;
    virtual void fillRect(const QRectF &rect, const QColor &color) = 0;
    virtual void strokeRect(const QRectF &rect, double lineWidth, const QColor &color) = 0;
    virtual void strokeLine(const QPointF &from, const QPointF &to, double lineWidth, const QColor &color) = 0;
    virtual void fillPath(const QPainterPath &path, const QColor &color) = 0;
    virtual void strokePath(const QPainterPath &path, double lineWidth, const QColor &color) = 0;
    // The same stroke as a path through the points, drawn the device's
    // fastest way: a rasteriser pays for every edge a scan line crosses.
    virtual void strokePolyline(const QPointF *points, qsizetype count, double lineWidth, const QColor &color)
    {
        if (count < 2) return;
        QPainterPath path(points[0]);
        for (qsizetype i = 1; i < count; ++i) path.lineTo(points[i]);
        strokePath(path, lineWidth, color);
    }
    // Device pixels per point across the page: finer detail cannot show.
    virtual double devicePixelsPerPoint() const { return 1; }
    virtual CanvasOutput output() const { return CanvasOutput::Vector; }
    virtual void drawImage(const QRectF &rect, const QImage &image) = 0;

    // Clipping nests with save/restore.
    virtual void save() = 0;
    virtual void restore() = 0;
    virtual void clipTo(const QRectF &rect) = 0;

    // Text placed from a point without a box or truncation.
    void drawTextAt(const QString &text, const QPointF &topLeft, double lineHeight)
    {
        drawText(text, QRectF(topLeft.x(), topLeft.y(), kUnboundedWidth, lineHeight), TextAlign::Left, false);
    }

    static constexpr double kUnboundedWidth = 1e6;
};

} // namespace cv
