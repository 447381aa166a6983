#include "platform/widgets/ReportTextStyles.h"

#include "platform/Localization.h"

namespace cv {

const std::array<ParagraphStyle, 3> &TruncateParagraphStyles()
{
    static const std::array<ParagraphStyle, 3> styles{
        ParagraphStyle{Qt::AlignLeft, Qt::ElideRight},
        ParagraphStyle{Qt::AlignRight, Qt::ElideRight},
        ParagraphStyle{Qt::AlignHCenter, Qt::ElideRight},
    };
    return styles;
}

const ParagraphStyle &RightAlignParagraphStyle()
{
    static const ParagraphStyle style{Qt::AlignRight, Qt::ElideNone};
    return style;
}

const TextAttributes &RightAlignAttributes()
{
    static const TextAttributes attributes{std::nullopt, QColor(), RightAlignParagraphStyle()};
    return attributes;
}

namespace {
QFont reportFont()
{
    QFont font(localizedString(QStringLiteral("Report-Font")));
    font.setPointSizeF(10);
    return font;
}
} // namespace

const TextAttributes &ReportFontAttributes()
{
    static const TextAttributes attributes{reportFont(), QColor(Qt::black), ParagraphStyle()};
    return attributes;
}

const TextAttributes &ReportWhiteFontAttributes()
{
    static const TextAttributes attributes{reportFont(), QColor(Qt::white), ParagraphStyle()};
    return attributes;
}

QColor negativeColor()
{
    return QColor::fromRgbF(0.65f, 0.0f, 0.0f, 1.0f);
}

ColoredString stringWithColor(const QString &text, const QColor &color, const ParagraphStyle &style)
{
    return ColoredString{text, color, style};
}

ColoredString blueString(const QString &text, const ParagraphStyle &style)
{
    return stringWithColor(text, QColor(Qt::blue), style);
}

ColoredString redString(const QString &text, const ParagraphStyle &style)
{
    return stringWithColor(text, QColor(Qt::red), style);
}

} // namespace cv
