#pragma once
// What one cell of one row is, built fresh before painting, before a click
// is handled and before editing starts, so that one column can hold a
// chooser in one row and plain text in the next.

#include <QColor>
#include <QString>
#include <QVariant>

#include <functional>

namespace cv {

enum class CellKind {
    Plain,   // text, amounts included
    Chooser, // text with the reveal button that opens the chooser
    Date,    // text with the calendar button
    Empty,   // nothing shown, nothing edited
};

struct PreparedCell {
    CellKind kind = CellKind::Plain;
    bool showsButtons = true;
    QColor color;        // invalid: the value's own colour, else the palette's
    QString placeholder; // shown in an empty cell
    QColor labelColor;   // when valid, a rounded background behind the text
    // Turns the cell's value into its text; unset: the value's own text.
    std::function<QString(const QVariant &)> formatter;

    bool hasButtons() const { return showsButtons && (kind == CellKind::Chooser || kind == CellKind::Date); }
};

} // namespace cv
