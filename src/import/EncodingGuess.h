#pragma once
// The encoding a statement file was most likely written in, so that a
// Shift_JIS or EUC-JP file reads right without the user knowing what an
// encoding is, and a header that names the wrong one does not garble it.

#include "import/TextDecoder.h"

#include <QByteArrayView>

#include <optional>

namespace cv {

// How a file's text is read, and whether that goes against what the file
// itself names.
struct EncodingChoice {
    TextEncoding encoding = TextEncoding::Utf8;
    bool labelIgnored = false;
    bool clean = true; // every byte decodes in it
    bool operator==(const EncodingChoice &) const = default;
};

// The bytes read under the encoding they name (`label`: a header's or
// declaration's, none when they name none) unless the bytes say otherwise:
// valid UTF-8 with characters beyond ASCII is UTF-8, but under a Japanese
// label that reads clean only when the UTF-8 reading holds Japanese, words
// or Latin-1 signs (half-width katakana can form UTF-8 by chance); a
// Japanese label whose bytes do not decode gives way to the other Japanese
// encoding when that reads clean; a UTF-8 label over bytes that are no
// UTF-8 gives way to a clean Japanese reading; a Latin label, or none,
// gives way only to a Japanese reading with what a Latin one cannot
// explain (two-byte characters, katakana in runs or beside a parenthesis,
// but not two that read as accented capitals inside a Latin word), else
// Windows-1252. Every label given way is counted as ignored.
EncodingChoice chooseEncoding(QByteArrayView bytes, std::optional<TextEncoding> label);

// The Japanese encoding under which every byte decodes to no user-defined
// character and the text reads most like Japanese (CP932 on a tie, what
// banks send); none when neither reads clean or the text reads like no
// Japanese.
std::optional<TextEncoding> japaneseEncoding(QByteArrayView bytes);

// A byte order mark (UTF-8 or UTF-16: read as Unicode); else
// chooseEncoding without a label.
TextEncoding guessEncoding(QByteArrayView bytes);

} // namespace cv
