#pragma once
// A column header's text colour that highlighting cannot change: once a true
// colour is set, every later text colour gives way to it.

#include <QColor>

namespace cv {

class ColoredTableHeaderCell {
public:
    const QColor &trueTextColor() const { return m_trueTextColor; }
    // An invalid colour returns to the platform's.
    void setTrueTextColor(const QColor &color)
    {
        m_trueTextColor = color;
        if (color.isValid()) m_textColor = color;
    }
    void setTextColor(const QColor &color) { m_textColor = m_trueTextColor.isValid() ? m_trueTextColor : color; }
    // Invalid: the platform's colour.
    const QColor &textColor() const { return m_textColor; }

private:
    QColor m_trueTextColor;
    QColor m_textColor;
};

} // namespace cv
