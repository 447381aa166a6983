#pragma once
// The program's one attributed text, and the value a table cell shows.

#include <QColor>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <optional>

namespace cv {

struct StyledText {
    QString text;
    QColor color; // invalid: the view's own text colour
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    // Set by owners of amount cells. The sign of an amount never rests on a
    // colour alone: a negative shown in another colour still says so here.
    std::optional<bool> negative;
};

// A QString, a StyledText, a record pointer, a number or a QDate.
using CellValue = QVariant;

} // namespace cv

Q_DECLARE_METATYPE(cv::StyledText)
