#include "import/EncodingGuess.h"

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

// The characters of one reading as the scoring sees them: a half-width
// katakana byte (0xA1-0xDF), a JIS row of a two-byte character (kAscii for
// ASCII, which only separates).
constexpr int kAscii = -1;
constexpr int kRowBase = 0x100;
constexpr int kUnlikely = 0x1000; // a character no statement holds

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

// +1 for each character Japanese statements are made of, -1 for each that
// only another encoding's bytes produce, over the characters beyond ASCII.
// Half-width katakana count as CP932's usual form where they sit as such
// text has them: marks after the kana that take them, small kana after a
// letter, a middle dot between words rather than every other character (as
// EUC-JP kana read as CP932 give).
double japaneseScore(const std::vector<int> &chars)
{
    int score = 0, count = 0;
    auto at = [&](size_t i, int step) {
        const auto j = qsizetype(i) + step;
        return j >= 0 && size_t(j) < chars.size() ? chars[size_t(j)] : kAscii;
    };
    for (size_t i = 0; i < chars.size(); ++i) {
        const int c = chars[i];
        if (c == kAscii) continue;
        ++count;
        bool likely = false;
        if (c >= kUnlikely) {
            likely = false;
        } else if (c >= kRowBase) {
            const int row = c - kRowBase;
            if ((row >= 48 && row <= 84) || row == 2 || (row >= 6 && row <= 8) || row == 13) continue; // neutral
            likely = row == 1 || (row >= 3 && row <= 5) || (row >= 16 && row <= 47);
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
        if (b < 0x80) {
            chars.push_back(kAscii);
        } else if (b >= 0xA1 && b <= 0xDF) {
            chars.push_back(b);
        } else if (i + 1 < bytes.size() && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF))) {
            const int trail = uchar(bytes[++i]);
            const int row = ((b <= 0x9F ? b - 0x81 : b - 0xC1) * 2) + 1 + (trail >= 0x9F ? 1 : 0);
            chars.push_back(kRowBase + row);
        } else {
            if (b >= 0xF0 && i + 1 < bytes.size()) ++i;
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
            chars.push_back(kAscii);
        } else if (b == 0x8E && i + 1 < bytes.size()) {
            chars.push_back(uchar(bytes[++i]));
        } else if (b >= 0xA1 && b <= 0xFE && i + 1 < bytes.size()) {
            ++i;
            chars.push_back(kRowBase + b - 0xA0);
        } else {
            if (b == 0x8F) i += 2;
            chars.push_back(kUnlikely);
        }
    }
    return chars;
}

// Below this share the text reads like no Japanese (Latin-1 that happens
// to decode).
constexpr double kJapaneseShare = 0.5;

} // namespace

std::optional<TextEncoding> japaneseEncoding(QByteArrayView bytes)
{
    const bool cp932 = decodesClean(bytes, TextEncoding::ShiftJis);
    const bool euc = decodesClean(bytes, TextEncoding::EucJp);
    const double cp932Score = cp932 ? japaneseScore(cp932Characters(bytes)) : -2;
    const double eucScore = euc ? japaneseScore(eucCharacters(bytes)) : -2;
    const double best = std::max(cp932Score, eucScore);
    if (best < kJapaneseShare) return std::nullopt;
    return cp932Score >= eucScore ? TextEncoding::ShiftJis : TextEncoding::EucJp;
}

EncodingChoice chooseEncoding(QByteArrayView bytes, std::optional<TextEncoding> label)
{
    const bool japaneseLabel = label == TextEncoding::ShiftJis || label == TextEncoding::EucJp;
    if (asciiPrefix(bytes) == bytes.size()) return {TextEncoding::Utf8, false}; // ASCII reads alike in all of them
    if (isValidUtf8(bytes)) return {TextEncoding::Utf8, japaneseLabel};
    if (japaneseLabel) {
        if (decodesClean(bytes, *label)) return {*label, false};
        const std::optional<TextEncoding> other = japaneseEncoding(bytes);
        return other ? EncodingChoice{*other, true} : EncodingChoice{*label, false, false};
    }
    const std::optional<TextEncoding> japanese = japaneseEncoding(bytes);
    if (label == TextEncoding::Utf8)
        return japanese ? EncodingChoice{*japanese, true} : EncodingChoice{TextEncoding::Utf8, false, false};
    // A Windows-1252 or ASCII label is what OFX headers carry by default:
    // nothing worth a word when the bytes are Japanese.
    if (japanese) return {*japanese, false};
    return {TextEncoding::Windows1252, false};
}

TextEncoding guessEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf8;
    return chooseEncoding(bytes, std::nullopt).encoding;
}

} // namespace cv
