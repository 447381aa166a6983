#pragma once
// Shared text styles, colours, coloured strings, the day-of-month popup and
// image fitting of the widget side.

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

class QComboBox;

namespace cv {

// How a line of text sits in its box.
struct ParagraphStyle {
    Qt::Alignment alignment = Qt::AlignLeft;
    Qt::TextElideMode elide = Qt::ElideNone;
    bool operator==(const ParagraphStyle &) const = default;
};

// Text attributes; an unset font or an invalid colour means the view's own.
struct TextAttributes {
    std::optional<QFont> font;
    QColor color;
    ParagraphStyle paragraph;
};

// A text drawn in one colour and paragraph style.
struct ColoredString {
    QString text;
    QColor color;
    ParagraphStyle paragraph;
};

// Made once, at first use, and kept for the run.
// Left, right and centred (in this order), each cutting long text at the end.
const std::array<ParagraphStyle, 3> &TruncateParagraphStyles();
const ParagraphStyle &RightAlignParagraphStyle();
const TextAttributes &RightAlignAttributes();
// The localised "Report-Font" at 10 points, black; and the same in white.
const TextAttributes &ReportFontAttributes();
const TextAttributes &ReportWhiteFontAttributes();

// The colour of negative amounts.
QColor negativeColor();

ColoredString stringWithColor(const QString &text, const QColor &color, const ParagraphStyle &style = {});
ColoredString blueString(const QString &text, const ParagraphStyle &style = {});
ColoredString redString(const QString &text, const ParagraphStyle &style = {});

// Empties the popup, then adds the days "1" to lastDay with their numbers as
// item data and the localised "Last day" with 31.
void fillDatePopUp(QComboBox *popup, int lastDay = 30);

// The size shrunk proportionally so that its height, then its width, fit the
// box; never enlarged.
QSize scaleToFit(const QSize &size, const QSize &box);

} // namespace cv
