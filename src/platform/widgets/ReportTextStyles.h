#pragma once
// The text styles, colours and coloured strings reports and tables draw with.

#include <QColor>
#include <QFont>
#include <QString>

#include <array>
#include <optional>

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

} // namespace cv
