#pragma once
// Amounts to text and back for one household book: the two rows of number
// formatters (screen and print), the currency prefix, the hand-made form of
// prices and unit counts, decimal rounding, and the live reformatting and
// delete-key rules of amount editors as functions over (text, selection).
// The document owns one and supplies its currencies.

#include "document/PatternFormatter.h"
#include "model/Currency.h"
#include "platform/Assert.h"
#include "platform/CaretKeeping.h"

#include <QColor>
#include <QDate>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace cv {

class Settings;

// An amount's text and the colour it is shown in (invalid: the default).
struct AmountDisplay {
    QString text;
    QColor color;
};

// A text and its selection after an edit rule ran.
struct EditedText {
    QString text;
    TextSelection selection;
};

inline constexpr int kBackwardDeleteKey = 127;
inline constexpr int kForwardDeleteKey = 0xF728;

class AmountText {
public:
    // The currency of an ident; 0 (and the default currency's own ident)
    // answers the default currency; null when there is none.
    using CurrencyLookup = std::function<CurrencyPtr(int ident)>;

    explicit AmountText(CurrencyLookup findCurrency = {});
    // Rebuilds the formatters from the string tables (after a language change).
    void loadFormats();

    CurrencyPtr findCurrency(int ident) const;
    // false for 0, for the default currency and for an unknown ident.
    bool isForeignCurrency(int ident) const;

    // Printing uses the print row of formatters while it lasts. Print runs
    // nest (a chart page inside the chart sheet's run), so the mode counts:
    // it ends with the outermost end.
    void beginCurrencyPrinting() { ++m_printDepth; }
    void endCurrencyPrinting()
    {
        CV_ASSERT_OR(m_printDepth > 0, return );
        --m_printDepth;
    }
    bool isCurrencyPrinting() const { return m_printDepth > 0; }

    const PatternFormatter &formatterForCurrency(int currency) const;
    const PatternFormatter &centFormatterForCurrency(int currency) const;
    // Prices and unit counts have no formatter: they use the hand-made form.
    const PatternFormatter *fundFormatterForCurrency(int) const { return nullptr; }
    const PatternFormatter &intFormatter() const { return formatter(1); }

    QString stringForValue(double value, int currency, bool truncateEmptyEnding = false) const;
    QString stringWithPrefixForValue(double value, int currency, bool truncateEmptyEnding = false) const;
    AmountDisplay attributedStringForValue(double value, int currency) const;
    QString centStringForValue(double value, int currency) const;
    QString stringForTradingNumberOfUnits(long long units) const;

    QString stringForFundValue(double value, int currency, bool wantPrefix = false, bool padZeroes = false,
                               int decimals = 6) const;
    QString stringWithPrefixForFundValue(double value, int currency) const
    {
        return stringForFundValue(value, currency, true);
    }
    // Rounded down (toward minus infinity) to `digits`, written with exactly that many.
    static QString stringForRoundValue(double value, int digits);
    // A percentage with two places, as every window and printed page shows
    // one; a value that shows as zero has no sign.
    static QString percentText(double value);

    // None when the text is no amount; an empty text is 0.
    std::optional<double> numberForString(const QString &text, int currency) const;
    std::optional<double> numberForCentString(const QString &text, int currency) const;
    // Always a number: a text that is none reads as 0.
    double fundValueForString(const QString &text, int currency) const;
    static double numberForRoundString(const QString &text, int digits);
    // The plain decimal text of an amount typed into a cell ("-" first, no
    // prefix, grouping or full-width forms); none when it is no amount or
    // holds more significant digits than a stored amount keeps exactly.
    // An empty text is "".
    static std::optional<QString> typedAmountText(const QString &text, const QString &prefix);
    // The signed value of an amount typed or entered in a batch, rounded down
    // to the currency's `fraction` digits on its decimal text; none when
    // typedAmountText refuses it. An empty text is 0.
    static std::optional<double> typedAmount(const QString &text, const QString &prefix, int fraction);
    // typedAmount with the prefix of `currency`, rounded to its fraction
    // unless `digits` says otherwise.
    std::optional<double> typedAmountIn(const QString &text, int currency, std::optional<int> digits = {}) const;
    static constexpr int kMaxSignificantDigits = 15;

    // Whether a text that reads as 0 carries a minus: the start of a negative
    // amount being typed, which regrouping must not take away.
    static bool hasMinusSign(const QString &text);

    // Live editing. Each answers the editor's new text and selection, or
    // none when the editor should go on as it would by itself.
    std::optional<QString> fixCurrencyValue(const QString &text, int currency) const;
    std::optional<QString> proposedString(const QString &currentText, TextSelection selection, const QString &proposed,
                                          int currency, int fractionLength) const;
    std::optional<EditedText> handleDeleteKey(const QString &text, TextSelection selection, int key,
                                              int currency) const;
    EditedText deleteCharactersInRange(const QString &text, TextSelection selection, TextSelection range, int currency,
                                       bool forwardDelete) const;

private:
    const PatternFormatter &formatter(int slot) const { return m_formatters[m_printDepth > 0 ? 1 : 0][slot]; }
    int currencyFraction(int currency) const;
    QString shownPrefix(int currency) const;
    QString withoutPrefix(const QString &text, int currency) const;
    // Typed text made ready for parsing: trimmed, prefix off, full width folded.
    QString amountTextWithoutPrefix(const QString &text, int currency) const;

    CurrencyLookup m_findCurrency;
    std::array<std::array<PatternFormatter, 3>, 2> m_formatters;
    int m_printDepth = 0;
};

// The colour of negative amounts on screen.
QColor negativeAmountColor();

// The period of the viewer's unit that holds today, both days included (in the
// day and week units, today alone), and which of the five period formats names it.
struct PeriodOfToday {
    int formatSlot = 0;
    QDate begin;
    QDate end;
};
PeriodOfToday periodOfToday(const Settings &settings, const QDate &today);
// The string-table key of a period format slot (0 to 4).
QString periodFormatKey(int slot);

} // namespace cv
