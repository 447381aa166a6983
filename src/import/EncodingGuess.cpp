#include "import/EncodingGuess.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <vector>

namespace cv {

namespace {

// Every byte decodes (the decoder turns the others into U+FFFD) to
// characters a statement could hold: user-defined characters come from
// bytes of another encoding.
bool decodesClean(QByteArrayView bytes, TextEncoding encoding)
{
    const QString text = decodeText(bytes, encoding);
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar::ReplacementCharacter || (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF);
    });
}

// The characters of one reading as the scoring sees them: ASCII as its
// byte, a half-width katakana as its CP932 byte (0xA1-0xDF), a two-byte
// character by its JIS row.
constexpr int kRowBase = 0x100;
constexpr int kExtension = 0x800; // CP932's extension kanji and signs, common in names
constexpr int kLatinPair = 0x900; // EUC-JP two bytes that read as two accented capitals inside a Latin word
constexpr int kUnlikely = 0x1000; // a character no statement holds

bool isKana(int c)
{
    return c >= 0xA1 && c <= 0xDF;
}
bool isHalfWidthLetter(int c)
{
    return (c >= 0xB0 && c <= 0xDD) || c == 0xA6;
}
bool isHalfWidthPunctuation(int c)
{
    return c >= 0xA1 && c <= 0xA5;
}
bool takesVoicedMark(int c)
{
    return c == 0xB3 || (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE);
}
bool isAsciiLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiAlnum(int c)
{
    return isAsciiLetter(c) || (c >= '0' && c <= '9');
}
// An accented capital of Windows-1252 (À-Ý but ×).
bool isLatinCapital(int c)
{
    return c >= 0xC0 && c <= 0xDD && c != 0xD7;
}
bool isAccentedVowel(int c)
{
    return isLatinCapital(c) && c != 0xC7 && c != 0xD0 && c != 0xD1; // not Ç, Ð, Ñ
}
// Two accented capitals as words of Latin-script languages hold them: the
// same vowel twice ("CRÉÉ", "PÄÄOMA"), Ç or Ñ beside a vowel ("AÇÃO"), Ð
// after a vowel of the languages that write it ("GÓÐ", "BÁÐIR"), or two of
// Æ, Ø and Å ("SÆØ").
bool isLatinPair(int first, int second)
{
    auto softens = [](int c) { return c == 0xC7 || c == 0xD1; };
    auto nordic = [](int c) { return c == 0xC5 || c == 0xC6 || c == 0xD8; };
    auto beforeEth = [](int c) { // Icelandic and Faroese: Á É Í Ó Ú Ý Ö Æ Ø
        return c == 0xC1 || c == 0xC9 || c == 0xCD || c == 0xD3 || c == 0xDA || c == 0xDD || c == 0xD6 || c == 0xC6 ||
               c == 0xD8;
    };
    return (first == second && isAccentedVowel(first)) || (softens(first) && isAccentedVowel(second)) ||
           (isAccentedVowel(first) && softens(second)) || (beforeEth(first) && second == 0xD0) ||
           (nordic(first) && nordic(second));
}

// Whether a character of that JIS row is what Japanese statements are
// made of (none: the row says nothing either way).
std::optional<bool> likelyRow(int row)
{
    if ((row >= 48 && row <= 84) || row == 2 || (row >= 6 && row <= 8)) return std::nullopt;
    return row == 1 || (row >= 3 && row <= 5) || row == 13 || (row >= 16 && row <= 47);
}

// +1 for each character Japanese statements are made of, -1 for each that
// only another encoding's bytes produce, over the characters beyond ASCII.
// Characters that say nothing either way still weigh. Half-width katakana
// count as Japanese in runs, as real text writes them: marks after the kana
// that take them, small kana after a letter, a middle dot between words
// rather than every other character (as EUC-JP kana read as CP932 give);
// those against a two-byte character say nothing, as EUC-JP kanji read as
// CP932 give them, and so does an extension kanji beside a kana. An ASCII
// hyphen between two kana joins them (bank text writes the long vowel so:
// "ｶ-ﾄﾞ", "ｺ-ﾋ-"). A lone one counts only beside a parenthesis, as bank
// abbreviations stand ("ｶ)", "(ﾕ"); beside a letter or digit it is a Latin
// capital or sign ("CAFÉ", "£12", "200°C") and counts against. Two after
// Latin letters that end the word or go on in Latin letters, and read as
// a pair of accented capitals a Latin word holds ("PRESTAÇÃO", "CRÉÉ PAR"),
// neither count nor weigh: such a word cannot be told from a brand and a
// short kana name, so the rest of the file decides; two different vowels
// ("ABCﾏﾂ" as "ABCÏÂ") are kana. EUC-JP writes a kana in two bytes, which
// no Latin word holds.
double japaneseScore(const std::vector<int> &chars, bool kanaAreBytes)
{
    int score = 0, count = 0;
    auto at = [&](size_t i, int step) {
        const auto j = qsizetype(i) + step;
        return j >= 0 && size_t(j) < chars.size() ? chars[size_t(j)] : int('\n');
    };
    // A hyphen between two kana that are not both inside Latin words
    // ("CAFÉ-ÉCOLE"), the second perhaps a word of one letter ("CAFÉ-À EMPORTER").
    auto kanaBeside = [&](size_t i, int step) {
        if (isKana(at(i, step))) return true;
        const int first = step > 0 ? 0 : -2, end = at(i, first + 3);
        return at(i, step) == '-' && isKana(at(i, 2 * step)) &&
               !(isAsciiLetter(at(i, first - 1)) && (isAsciiLetter(end) || end == ' '));
    };
    // One of two kana alone together that read as accented Latin capitals.
    auto latinCapitals = [&](size_t i) {
        const int first = isKana(at(i, -1)) ? -1 : 0, last = first == 0 && isKana(at(i, 1)) ? 1 : 0;
        if (isKana(at(i, first - 1)) || isKana(at(i, last + 1))) return false;
        const int after = at(i, last + 1);
        return first != last && isLatinPair(at(i, first), at(i, last)) && isAsciiLetter(at(i, first - 1)) &&
               after < 0x80 && after != '-';
    };
    for (size_t i = 0; i < chars.size(); ++i) {
        const int c = chars[i];
        if (c < 0x80 || c == kLatinPair || (kanaAreBytes && latinCapitals(i))) continue;
        ++count;
        bool likely = false;
        if (c >= kUnlikely) {
            likely = false;
        } else if (c == kExtension) {
            if (isKana(at(i, -1)) || isKana(at(i, 1))) continue;
            likely = true;
        } else if (c >= kRowBase) {
            const std::optional<bool> row = likelyRow(c - kRowBase);
            if (!row) continue;
            likely = *row;
        } else if (!kanaBeside(i, -1) && !kanaBeside(i, 1)) {
            const int before = at(i, -1), after = at(i, 1);
            if (isHalfWidthLetter(c) && (before == '(' || before == ')' || after == '(' || after == ')'))
                likely = true;
            else if (isAsciiAlnum(before) || isAsciiAlnum(after))
                likely = false;
            else
                continue;
        } else if (at(i, -1) >= kRowBase || at(i, 1) >= kRowBase) {
            continue;
        } else if (c == 0xDE) {
            likely = takesVoicedMark(at(i, -1));
        } else if (c == 0xDF) {
            likely = at(i, -1) >= 0xCA && at(i, -1) <= 0xCE;
        } else if (c >= 0xA7 && c <= 0xAF) {
            likely = isHalfWidthLetter(at(i, -1));
        } else if (isHalfWidthPunctuation(c)) {
            likely = !isHalfWidthPunctuation(at(i, -1)) && !(at(i, -1) >= 0xA7 && at(i, -1) <= 0xAF) &&
                     !isHalfWidthPunctuation(at(i, -2)) && !isHalfWidthPunctuation(at(i, 2));
        } else {
            likely = isHalfWidthLetter(c);
        }
        score += likely ? 1 : -1;
    }
    return count == 0 ? 0 : double(score) / count;
}

std::vector<int> cp932Characters(QByteArrayView bytes)
{
    std::vector<int> chars;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int b = uchar(bytes[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (b < 0x80) {
            chars.push_back(b);
        } else if (isKana(b)) {
            chars.push_back(b);
        } else if (lead && i + 1 < bytes.size()) {
            const int trail = uchar(bytes[++i]);
            if (b >= 0xE0 && isAsciiLetter(trail) && i >= 2 && isAsciiLetter(uchar(bytes[i - 2]))) {
                chars.push_back(kUnlikely); // an accented letter inside a Latin word ("Saída", "según")
            } else if ((b >= 0xED && b <= 0xEE) || b >= 0xFA) {
                chars.push_back(kExtension);
            } else if (b >= 0xF0) {
                chars.push_back(kUnlikely); // user-defined
            } else {
                chars.push_back(kRowBase + ((b <= 0x9F ? b - 0x81 : b - 0xC1) * 2) + 1 + (trail >= 0x9F ? 1 : 0));
            }
        } else {
            chars.push_back(kUnlikely);
        }
    }
    return chars;
}

std::vector<int> eucCharacters(QByteArrayView bytes)
{
    std::vector<int> chars;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int b = uchar(bytes[i]);
        if (b < 0x80) {
            chars.push_back(b);
        } else if (b == 0x8E && i + 1 < bytes.size()) {
            chars.push_back(uchar(bytes[++i]));
        } else if (b >= 0xA1 && b <= 0xFE && i + 1 < bytes.size()) {
            const int trail = uchar(bytes[++i]);
            const int after = i + 1 < bytes.size() ? uchar(bytes[i + 1]) : '\n';
            if (i >= 2 && isAsciiLetter(uchar(bytes[i - 2])) && isLatinCapital(b) && isLatinCapital(trail) &&
                after < 0x80 && after != '-')
                chars.push_back(kLatinPair);
            else
                chars.push_back(kRowBase + b - 0xA0);
        } else {
            if (b == 0x8F) i += 2;
            chars.push_back(kUnlikely);
        }
    }
    return chars;
}

bool isJapanese(char32_t c)
{
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool isWordCharacter(char32_t c)
{
    return isAsciiLetter(int(c)) || (c >= 0x80 && (QChar::isLetter(c) || QChar::isMark(c)));
}

// Whether text read as UTF-8 reads as text: it holds Japanese, a word of
// letters (a Latin one with an ASCII letter in it, one of another script
// two letters or more), or the signs of Latin-1 and of general
// punctuation; not only letters of other scripts scattered between ASCII.
bool readsAsText(QByteArrayView bytes)
{
    const QList<uint> text = QString::fromUtf8(bytes).toUcs4();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c < 0x80) continue;
        if (isJapanese(c)) return true;
        if (!QChar::isLetter(c)) {
            if ((c >= 0xA0 && c <= 0xBF) || c == 0xD7 || c == 0xF7 || (c >= 0x2000 && c <= 0x2BFF)) return true;
            continue;
        }
        qsizetype from = i, to = i + 1;
        while (from > 0 && isWordCharacter(text[from - 1])) --from;
        while (to < text.size() && isWordCharacter(text[to])) ++to;
        const QChar::Script script = QChar::script(c);
        bool ascii = false, oneScript = true;
        int letters = 0;
        for (qsizetype k = from; k < to; ++k) {
            ascii |= text[k] < 0x80;
            if (text[k] >= 0x80 && QChar::isLetter(char32_t(text[k]))) {
                ++letters;
                oneScript &= QChar::script(char32_t(text[k])) == script;
            }
        }
        if (ascii && script == QChar::Script_Latin) return true;
        if (!ascii && letters >= 2 && oneScript && script != QChar::Script_Latin && script != QChar::Script_Common &&
            script != QChar::Script_Inherited && script != QChar::Script_Unknown)
            return true;
        i = to - 1;
    }
    return false;
}

// Below this share the text reads like no Japanese (Latin-1 that happens
// to decode).
constexpr double kJapaneseShare = 0.5;

} // namespace

std::optional<TextEncoding> japaneseEncoding(QByteArrayView bytes)
{
    const bool cp932 = decodesClean(bytes, TextEncoding::ShiftJis);
    const bool euc = decodesClean(bytes, TextEncoding::EucJp);
    const double cp932Score = cp932 ? japaneseScore(cp932Characters(bytes), true) : -2;
    const double eucScore = euc ? japaneseScore(eucCharacters(bytes), false) : -2;
    const double best = std::max(cp932Score, eucScore);
    if (best < kJapaneseShare) return std::nullopt;
    return cp932Score >= eucScore ? TextEncoding::ShiftJis : TextEncoding::EucJp;
}

EncodingChoice chooseEncoding(QByteArrayView bytes, std::optional<TextEncoding> label)
{
    const bool japaneseLabel = label == TextEncoding::ShiftJis || label == TextEncoding::EucJp;
    if (asciiPrefix(bytes) == bytes.size()) return {TextEncoding::Utf8, false}; // ASCII reads alike in all of them
    if (isValidUtf8(bytes)) {
        // Half-width katakana can form valid UTF-8 by chance, as scattered
        // letters of other scripts: a Japanese label that reads clean stands.
        if (japaneseLabel && decodesClean(bytes, *label) && !readsAsText(bytes)) return {*label, false};
        return {TextEncoding::Utf8, label.has_value() && label != TextEncoding::Utf8};
    }
    if (japaneseLabel) {
        if (decodesClean(bytes, *label)) return {*label, false};
        const std::optional<TextEncoding> other = japaneseEncoding(bytes);
        return other ? EncodingChoice{*other, true} : EncodingChoice{*label, false, false};
    }
    // A Latin label, or none, gives way only to what a Latin reading cannot
    // explain (the scoring's two-byte characters and kana runs).
    const std::optional<TextEncoding> japanese = japaneseEncoding(bytes);
    if (label == TextEncoding::Utf8)
        return japanese ? EncodingChoice{*japanese, true} : EncodingChoice{TextEncoding::Utf8, false, false};
    if (japanese) return {*japanese, label.has_value()};
    return {TextEncoding::Windows1252, false};
}

TextEncoding guessEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf8;
    return chooseEncoding(bytes, std::nullopt).encoding;
}

} // namespace cv
