#include "platform/print/PainterCanvas.h"

#include "platform/Assert.h"

#include <QPaintDevice>
#include <QPainter>

namespace cv {

namespace {

int alignmentFlags(TextAlign align)
{
    switch (align) {
    case TextAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case TextAlign::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case TextAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

PainterCanvas::PainterCanvas(QPainter &painter) : m_painter(painter)
{
    Q_ASSERT(painter.isActive());
    if (QPaintDevice *device = painter.device())
        m_dpi = device->logicalDpiY() > 0 ? device->logicalDpiY() : 72;
    m_painter.save();
    m_painter.scale(m_dpi / 72.0, m_dpi / 72.0);
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    setFont(CanvasFont{});
}

PainterCanvas::~PainterCanvas()
{
    while (m_saves > 0)
        restore();
    m_painter.restore();
}

QFont PainterCanvas::qfont(const CanvasFont &font, double deviceDpi)
{
    QFont f;
    if (!font.family.isEmpty())
        f.setFamilies({font.family});
    f.setPointSizeF(std::max(font.size, 0.5) * 72.0 / deviceDpi);
    f.setBold(font.bold);
    // Glyphs keep their outline widths so that measuring and drawing agree at
    // every device resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void PainterCanvas::setFont(const CanvasFont &font)
{
    m_font = font;
    m_qfont = qfont(font, m_dpi);
    m_painter.setFont(m_qfont);
    m_metrics.emplace(m_qfont, m_painter.device());
}

double PainterCanvas::textWidth(const QString &text) const
{
    return m_metrics->horizontalAdvance(text);
}

QString PainterCanvas::truncated(const QString &text, double width) const
{
    return m_metrics->elidedText(text, Qt::ElideRight, std::max(width, 0.0));
}

void PainterCanvas::drawText(const QString &text, const QRectF &box, TextAlign align, bool truncate)
{
    if (text.isEmpty())
        return;
    const QString shown = truncate ? truncated(text, box.width()) : text;
    m_painter.setPen(m_textColor);
    m_painter.drawText(box, alignmentFlags(align) | Qt::TextSingleLine | Qt::TextDontClip, shown);
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
    CV_ASSERT_OR(m_saves > 0, return);  // a restore without its save
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
