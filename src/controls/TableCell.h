#pragma once
// The cells of the editing table. Cells are shared, stateless painters and
// click handlers, one per kind; what differs per row arrives as the
// PreparedCell the owner filled.

#include "controls/PreparedCell.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

class QPainter;

namespace cv {

class EditingTable;
class PopupFieldEditor;

// What one cell shows in one paint.
struct CellPaint {
    QString text;
    QColor color; // invalid: the palette's text colour
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool selected = false;
    PreparedCell prepared;
};

class TableCell {
public:
    virtual ~TableCell() = default;

    // The one shared cell of a kind.
    static const TableCell &forKind(CellKind kind);

    virtual bool isEditable() const { return true; }
    // Where the text (and the editor) sits within the cell's frame.
    virtual QRect textRect(const QRect &bounds, const PreparedCell &cell) const;
    virtual void paint(QPainter *painter, const QRect &frame, const CellPaint &what, const QPalette &palette,
                       const QFont &font) const;
    // A click at pos (view coordinates) on the cell's frame; true when a
    // button of the cell took it.
    virtual bool handleClick(const QPoint &pos, const QRect &frame, EditingTable *view, const PreparedCell &cell) const;
    // Prepares the shared editor for this cell.
    virtual void setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const PreparedCell &cell) const;
    // What of text a cell paints in width: the painting, the cut test and the
    // column fit read this one answer.
    static QString shownPart(const QString &text, const QFont &font, int width);

protected:
    static constexpr int kTextInset = 4;
    void paintText(QPainter *painter, const QRect &rect, const CellPaint &what, const QPalette &palette,
                   const QFont &font) const;
};

} // namespace cv
