#pragma once
// The second column of a check-box outline: text in a 10 px font, left
// aligned, clipped, and centred vertically in its row.

#include <QStyledItemDelegate>

namespace cv {

// The height the text takes laid out in the font within the width and height.
qreal heightForStringDrawing(const QString &text, const QFont &font, qreal width, qreal height);

class TallTextCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kFontPixels = 10;

    explicit TallTextCell(const QFont &baseFont, QObject *parent = nullptr);
    const QFont &font() const { return m_font; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QFont m_font;
};

} // namespace cv
