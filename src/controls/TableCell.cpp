#include "controls/TableCell.h"

#include "controls/DateFieldCell.h"
#include "controls/FieldEditorCell.h"
#include "controls/PlainFieldCell.h"
#include "controls/PopupFieldEditor.h"

#include <QFontMetrics>
#include <QPainter>

namespace cv {

namespace {

// Shown where the owner says a column may not be selected in a row.
class EmptyCell : public TableCell {
public:
    bool isEditable() const override { return false; }
    void paint(QPainter *, const QRect &, const CellPaint &, const QPalette &, const QFont &) const override {}
    void setUpFieldEditor(PopupFieldEditor *, EditingTable *, const PreparedCell &) const override {}
};

} // namespace

const TableCell &TableCell::forKind(CellKind kind)
{
    static const PlainFieldCell plain;
    static const FieldEditorCell chooser;
    static const DateFieldCell date;
    static const EmptyCell empty;
    switch (kind) {
    case CellKind::Plain: return plain;
    case CellKind::Chooser: return chooser;
    case CellKind::Date: return date;
    case CellKind::Empty: return empty;
    }
    Q_ASSERT(false);
    return empty;
}

QRect TableCell::textRect(const QRect &bounds, const PreparedCell &cell) const
{
    Q_UNUSED(cell);
    return bounds.adjusted(kTextInset, 0, -kTextInset, 0);
}

void TableCell::paint(QPainter *painter, const QRect &frame, const CellPaint &what, const QPalette &palette,
                      const QFont &font) const
{
    paintText(painter, textRect(frame, what.prepared), what, palette, font);
}

void TableCell::paintText(QPainter *painter, const QRect &rect, const CellPaint &what, const QPalette &palette,
                          const QFont &font) const
{
    painter->save();
    painter->setFont(font);
    const bool placeholder = what.text.isEmpty();
    const QString text = placeholder ? what.prepared.placeholder : what.text;
    QColor color = what.color.isValid() ? what.color : palette.color(QPalette::Active, QPalette::Text);
    if (what.selected)
        color = palette.color(QPalette::Active, QPalette::HighlightedText);
    else if (placeholder)
        color = palette.color(QPalette::Active, QPalette::PlaceholderText);
    painter->setPen(color);
    const QString shown = shownPart(text, font, rect.width());
    painter->drawText(rect, int(what.alignment | Qt::AlignVCenter) & ~Qt::AlignTop & ~Qt::AlignBottom, shown);
    painter->restore();
}

QString TableCell::shownPart(const QString &text, const QFont &font, int width)
{
    return QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
}

bool TableCell::handleClick(const QPoint &pos, const QRect &frame, EditingTable *view, const PreparedCell &cell) const
{
    Q_UNUSED(pos);
    Q_UNUSED(frame);
    Q_UNUSED(view);
    Q_UNUSED(cell);
    return false;
}

void TableCell::setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const PreparedCell &cell) const
{
    editor->endPopupEdit();
    editor->willEditCell(cell, view);
}

} // namespace cv
