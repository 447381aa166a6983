#pragma once
// Paper, orientation and margins of one print run, in points.

#include <QMarginsF>
#include <QPageSize>
#include <QSizeF>
#include <QString>

namespace cv {

struct PageSetup {
    enum Orientation { Portrait = 0, Landscape = 1 };

    QString paperName = QStringLiteral("A4"); // the printing system's name
    int orientation = Portrait;
    QMarginsF margins; // left, top, right, bottom

    // The paper as it lies for this orientation; an unknown name prints on A4.
    QSizeF paperSize() const
    {
        QPageSize size = pageSize();
        QSizeF points = size.size(QPageSize::Point);
        return orientation == Landscape ? points.transposed() : points;
    }
    QPageSize pageSize() const;
    bool operator==(const PageSetup &) const = default;
};

} // namespace cv
