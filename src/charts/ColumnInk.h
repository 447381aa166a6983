#pragma once
// Ink laid down a device pixel column at a time, for charts whose detail is
// finer than the device shows: each layer covers one span per column, over
// the layers before it. Raster output gets every layer as one image; a
// preview's recording gets each layer as outlines, which the screen paints
// quickly at any zoom. Vector output never comes here: it keeps its lines.

#include "platform/print/Canvas.h"

#include <QColor>
#include <QImage>
#include <QPointF>

#include <vector>

namespace cv {

class ColumnInk {
public:
    struct Span {
        double top = 0; // canvas points, y down
        double bottom = 0;
        bool empty() const { return !(bottom > top); }
    };

    // The device pixels per point detail is drawn at: a recording, shown
    // on screen or as a printout preview, needs no more than a 300 dpi page.
    static double pixelsPerPoint(const Canvas &canvas);

    // Columns 1/pixelsPerPoint points wide from left up to right (points).
    ColumnInk(double left, double right, double pixelsPerPoint);

    int count() const { return m_count; }
    double columnLeft(int k) const { return m_left + k * m_width; }
    // The column holding x, which may be outside [0, count).
    int columnAt(double x) const;

    // What a pen of that radius covers along the polyline through the
    // points (x ascending), which passes over points without a finite
    // value: per column, the line's own extent there widened by the pen's
    // round edge at every neighbour within reach.
    std::vector<Span> stroke(const std::vector<QPointF> &points, double radius) const;

    void addLayer(std::vector<Span> spans, const QColor &color);
    void draw(Canvas &canvas) const;

private:
    struct Layer {
        std::vector<Span> spans;
        QColor color;
    };
    void drawImage(Canvas &canvas) const;
    // The layer's spans of the columns from first on, into the image whose top is row0.
    void inkBand(QImage &image, const Layer &layer, int first, double row0) const;
    void drawOutlines(Canvas &canvas) const;

    double m_left = 0;
    double m_scale = 1;
    double m_width = 1; // of a column, in points
    int m_count = 0;
    std::vector<Layer> m_layers;
};

} // namespace cv
