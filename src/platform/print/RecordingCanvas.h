#pragma once
// A canvas that keeps every call, for tests. Text is measured as on a 72-dpi
// device, so truncation happens as it would on paper.

#include "platform/print/Canvas.h"

#include <QFont>
#include <QImage>
#include <QList>

namespace cv {

class RecordingCanvas : public Canvas {
public:
    enum class Op { Text, FillRect, StrokeRect, Line, FillPath, StrokePath, Image, Save, Restore, Clip };
    struct Call {
        Op op = Op::Text;
        QRectF rect;      // text box, rectangle, path bounds, image rectangle, clip
        QPointF from, to; // lines
        QString text;     // as drawn, after truncation
        TextAlign align = TextAlign::Left;
        bool truncate = false;
        QColor color; // fill, stroke or text colour
        double lineWidth = 0;
        CanvasFont font;
    };

    RecordingCanvas();

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
    void drawImage(const QRectF &rect, const QImage &image) override;
    void save() override;
    void restore() override;
    void clipTo(const QRectF &rect) override;

    const QList<Call> &calls() const { return m_calls; }
    QList<Call> calls(Op op) const;
    // The drawn texts in order.
    QStringList texts() const;
    void clear() { m_calls.clear(); }

private:
    QList<Call> m_calls;
    CanvasFont m_font;
    QFont m_qfont;
    QFont m_japaneseQfont; // measures text holding Japanese, as the painter draws it
    QColor m_textColor = Qt::black;
    QImage m_metricsDevice;
};

} // namespace cv
