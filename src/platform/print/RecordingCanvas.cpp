#include "platform/print/RecordingCanvas.h"

#include "platform/print/PainterCanvas.h"

#include <QFontMetricsF>

namespace cv {

namespace {

RecordingCanvas::Call made(RecordingCanvas::Op op, const QRectF &rect = {})
{
    RecordingCanvas::Call call;
    call.op = op;
    call.rect = rect;
    return call;
}

} // namespace

RecordingCanvas::RecordingCanvas() : m_metricsDevice(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMeter = qRound(72 / 0.0254);
    m_metricsDevice.setDotsPerMeterX(dotsPerMeter);
    m_metricsDevice.setDotsPerMeterY(dotsPerMeter);
    setFont(CanvasFont{});
}

void RecordingCanvas::setFont(const CanvasFont &font)
{
    m_font = font;
    m_qfont = PainterCanvas::qfont(font, m_metricsDevice.logicalDpiY());
    m_japaneseQfont = PainterCanvas::qfont(font, m_metricsDevice.logicalDpiY(), true);
}

double RecordingCanvas::textWidth(const QString &text) const
{
    return QFontMetricsF(PainterCanvas::holdsJapanese(text) ? m_japaneseQfont : m_qfont, &m_metricsDevice)
        .horizontalAdvance(text);
}

QString RecordingCanvas::truncated(const QString &text, double width) const
{
    return QFontMetricsF(PainterCanvas::holdsJapanese(text) ? m_japaneseQfont : m_qfont, &m_metricsDevice)
        .elidedText(text, Qt::ElideRight, std::max(width, 0.0));
}

void RecordingCanvas::drawText(const QString &text, const QRectF &box, TextAlign align, bool truncate)
{
    if (text.isEmpty()) return;
    Call call = made(Op::Text, box);
    call.text = truncate ? truncated(text, box.width()) : text;
    call.align = align;
    call.truncate = truncate;
    call.color = m_textColor;
    call.font = m_font;
    m_calls.append(call);
}

void RecordingCanvas::fillRect(const QRectF &rect, const QColor &color)
{
    Call call = made(Op::FillRect, rect);
    call.color = color;
    m_calls.append(call);
}

void RecordingCanvas::strokeRect(const QRectF &rect, double lineWidth, const QColor &color)
{
    Call call = made(Op::StrokeRect, rect);
    call.color = color;
    call.lineWidth = lineWidth;
    m_calls.append(call);
}

void RecordingCanvas::strokeLine(const QPointF &from, const QPointF &to, double lineWidth, const QColor &color)
{
    Call call = made(Op::Line, QRectF(from, to).normalized());
    call.from = from;
    call.to = to;
    call.color = color;
    call.lineWidth = lineWidth;
    m_calls.append(call);
}

void RecordingCanvas::fillPath(const QPainterPath &path, const QColor &color)
{
    Call call = made(Op::FillPath, path.boundingRect());
    call.color = color;
    m_calls.append(call);
}

void RecordingCanvas::strokePath(const QPainterPath &path, double lineWidth, const QColor &color)
{
    Call call = made(Op::StrokePath, path.boundingRect());
    call.color = color;
    call.lineWidth = lineWidth;
    m_calls.append(call);
}

void RecordingCanvas::drawImage(const QRectF &rect, const QImage &)
{
    m_calls.append(made(Op::Image, rect));
}

void RecordingCanvas::save()
{
    m_calls.append(made(Op::Save));
}

void RecordingCanvas::restore()
{
    m_calls.append(made(Op::Restore));
}

void RecordingCanvas::clipTo(const QRectF &rect)
{
    m_calls.append(made(Op::Clip, rect));
}

QList<RecordingCanvas::Call> RecordingCanvas::calls(Op op) const
{
    QList<Call> out;
    for (const Call &call : m_calls) {
        if (call.op == op) out.append(call);
    }
    return out;
}

QStringList RecordingCanvas::texts() const
{
    QStringList out;
    for (const Call &call : m_calls) {
        if (call.op == Op::Text) out.append(call.text);
    }
    return out;
}

} // namespace cv
