#pragma once
// One column of an editing table: its id, title, width and the kind of cell
// it shows. A column's position in the table is kept equal to its id
// wherever the layout allows.

#include "controls/PreparedCell.h"

#include <QColor>
#include <QString>

namespace cv {

class EditingTable;

class TableColumn {
public:
    TableColumn(int cid, QString title, int width, CellKind kind = CellKind::Plain)
        : m_cid(cid), m_title(std::move(title)), m_width(width), m_kind(kind)
    {
    }
    virtual ~TableColumn() = default;

    int cid() const { return m_cid; }
    const QString &title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    CellKind kind() const { return m_kind; }
    void setKind(CellKind kind) { m_kind = kind; }
    // The header's colours; invalid: the platform's.
    const QColor &headerTextColor() const { return m_headerTextColor; }
    const QColor &headerBackground() const { return m_headerBackground; }
    void setHeaderColors(const QColor &text, const QColor &background)
    {
        m_headerTextColor = text;
        m_headerBackground = background;
    }
    bool showsButtons() const { return m_showsButtons; }
    void setShowsButtons(bool shows) { m_showsButtons = shows; }

    // The cell this column shows in the row, before the owner prepares it.
    virtual PreparedCell dataCellForRow(const EditingTable *table, int row) const;

private:
    int m_cid;
    QString m_title;
    int m_width;
    CellKind m_kind;
    bool m_showsButtons = true;
    QColor m_headerTextColor;
    QColor m_headerBackground;
};

} // namespace cv
