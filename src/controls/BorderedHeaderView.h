#pragma once
// A table header that draws its own frame lines per section over the
// style's: always a top and a bottom line; a grey left edge when bit 2 of the
// section's border is set and a grey right edge for bit 4. The budget page
// marks its periods so, and its grid lines follow the same bits.

#include <QHash>
#include <QHeaderView>

namespace cv {

class BorderedHeaderView : public QHeaderView {
    Q_OBJECT

public:
    static constexpr int kLeftEdge = 2;
    static constexpr int kRightEdge = 4;

    explicit BorderedHeaderView(QWidget *parent = nullptr);

    // Sections start at border 1 (no edge lines).
    void setBorder(int section, int border);
    int border(int section) const { return m_borders.value(section, 1); }
    void setTitle(int section, const QString &title, int border);

    static QColor lineColor();

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QHash<int, int> m_borders;
};

} // namespace cv
