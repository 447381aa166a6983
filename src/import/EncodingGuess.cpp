#include "import/EncodingGuess.h"

#include <algorithm>
#include <optional>

namespace cv {

namespace {

// The text when every byte decodes (the decoder turns the others into
// U+FFFD) to characters a statement could hold: user-defined characters
// come from bytes of another encoding.
std::optional<QString> cleanDecoding(QByteArrayView bytes, TextEncoding encoding)
{
    QString text = decodeText(bytes, encoding);
    const bool clean = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar::ReplacementCharacter || (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF);
    });
    return clean ? std::optional<QString>(std::move(text)) : std::nullopt;
}

bool hasKana(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x3041 && c.unicode() <= 0x30FF; });
}

} // namespace

TextEncoding guessEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf8;
    if (isValidUtf8(bytes)) return TextEncoding::Utf8;
    const std::optional<QString> euc = cleanDecoding(bytes, TextEncoding::EucJp);
    if (cleanDecoding(bytes, TextEncoding::ShiftJis)) {
        // Most EUC-JP bytes also read as CP932 half-width kana; Japanese text
        // read right has hiragana or full-width katakana.
        return euc && hasKana(*euc) ? TextEncoding::EucJp : TextEncoding::ShiftJis;
    }
    return euc ? TextEncoding::EucJp : TextEncoding::Windows1252;
}

} // namespace cv
