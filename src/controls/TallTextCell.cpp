#include "controls/TallTextCell.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace cv {

qreal heightForStringDrawing(const QString &text, const QFont &font, qreal width, qreal height)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal used = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, used));
        used += line.height();
        if (used >= height) break;
    }
    layout.endLayout();
    return std::min(used, height);
}

TallTextCell::TallTextCell(const QFont &baseFont, QObject *parent) : QStyledItemDelegate(parent), m_font(baseFont)
{
    m_font.setPixelSize(kFontPixels);
}

void TallTextCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;
    const QRectF frame = option.rect.adjusted(2, 0, -2, 0);
    const qreal textHeight = heightForStringDrawing(text, m_font, frame.width(), frame.height());
    const QRectF target = frame.adjusted(0, (frame.height() - textHeight) / 2, 0, 0);
    painter->save();
    painter->setFont(m_font);
    painter->setPen(option.state & QStyle::State_Selected ? option.palette.color(QPalette::HighlightedText)
                                                          : option.palette.color(QPalette::Text));
    painter->setClipRect(option.rect);
    painter->drawText(target, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
}

} // namespace cv
