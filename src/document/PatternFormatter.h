#pragma once
// The program's number formatter for display formats such as "#,##0.00",
// "#,##0.######", "$#,##0" or "#,##0;0;△#,##0" (positive, zero and negative
// sections). The separators are always the format's own "," and ".", never
// the locale's. An empty text reads as 0; under a format without a negative
// section the "-" of a negative value is dropped, so a format that must show
// negatives carries its own negative section.

#include <QColor>
#include <QString>

#include <optional>

namespace cv {

class PatternFormatter {
public:
    PatternFormatter() { setFormat(QString()); }
    explicit PatternFormatter(const QString &format) { setFormat(format); }

    // An empty format stands for "#,##0.######".
    void setFormat(const QString &format);
    QString format() const { return m_format; }

    QString stringForObjectValue(double value) const;
    // 0 for an empty text; none for a text that is no number of this format.
    // A leading "-" and every form the format writes are read back.
    std::optional<double> numberFromString(const QString &text) const;

    QString thousandSeparator() const { return QStringLiteral(","); }
    QString decimalSeparator() const { return QStringLiteral("."); }

    // The colour negative values are shown in; invalid: none.
    void setNegativeColor(const QColor &color) { m_negativeColor = color; }
    QColor negativeColor() const { return m_negativeColor; }
    // The colour of the value's text; invalid when it keeps the default.
    QColor colorForValue(double value) const;

private:
    struct Section {
        QString prefix;
        QString suffix;
        int minInteger = 1;
        int minFraction = 0;
        int maxFraction = 0;
        int groupSize = 0; // 0: no grouping
    };
    static Section parseSection(const QString &pattern);
    static QString formatMagnitude(const Section &section, double magnitude);
    static std::optional<double> parsePlain(QString body);
    static bool stripAffixes(const Section &section, QString &text);

    QString m_format;
    Section m_positive;
    std::optional<Section> m_zero;
    std::optional<Section> m_negative;
    QColor m_negativeColor;
};

} // namespace cv
