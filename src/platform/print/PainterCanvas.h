#pragma once
// The canvas on a QPainter: printer, PDF writer, preview or image. One point
// of the canvas is 1/72 inch on the painter's device.

#include "platform/print/Canvas.h"

#include <QFont>
#include <QFontMetricsF>

#include <optional>

class QPainter;

namespace cv {

class PainterCanvas : public Canvas {
public:
    // The painter must be active; the canvas scales it to points and leaves
    // it as it found it when destroyed.
    explicit PainterCanvas(QPainter &painter);
    ~PainterCanvas() override;

    void setFont(const CanvasFont &font) override;
    CanvasFont font() const override { return m_font; }
    void setTextColor(const QColor &color) override { m_textColor = color; }
    double textWidth(const QString &text) const override;
    QString truncated(const QString &text, double width) const override;

    void drawText(const QString &text, const QRectF &box, TextAlign align, bool truncate) override;
    void fillRect(const QRectF &rect, const QColor &color) override;
    void strokeRect(const QRectF &rect, double lineWidth, const QColor &color) override;
    void strokeLine(const QPointF &from, const QPointF &to, double lineWidth, const QColor &color) override;
    void fillPath(const QPainterPath &path, const QColor &color) override;
    void strokePath(const QPainterPath &path, double lineWidth, const QColor &color) override;
    void strokePolyline(const QPointF *points, qsizetype count, double lineWidth, const QColor &color) override;
    double devicePixelsPerPoint() const override;
    CanvasOutput output() const override;
    void drawImage(const QRectF &rect, const QImage &image) override;
    void save() override;
    void restore() override;
    void clipTo(const QRectF &rect) override;

    // A font whose pixel size on the painter's device, in the canvas's scale,
    // is the canvas font's size in points; for a text holding Japanese, the
    // Japanese print face (see holdsJapanese).
    static QFont qfont(const CanvasFont &font, double deviceDpi, bool japanese = false);
    // A PDF's text map names each glyph by the lowest character the font
    // gives it, and Noto CJK gives its kanji to the Kangxi radicals as well
    // (月 would read back as ⽉): Japanese is printed in a face without shared
    // glyphs, Latin text keeps the canvas font.
    static bool holdsJapanese(const QString &text);

private:
    QPainter &m_painter;
    CanvasFont m_font;
    QFont m_qfont;
    QFont m_japaneseQfont;
    std::optional<QFontMetricsF> m_metrics;                 // of the font on the painter's device
    mutable std::optional<QFontMetricsF> m_japaneseMetrics; // of its Japanese face, made when first needed
    const QFontMetricsF &metricsFor(const QString &text) const;
    QColor m_textColor = Qt::black;
    double m_dpi = 72;
    int m_saves = 0;
};

} // namespace cv
