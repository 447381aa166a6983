#pragma once
// Base64 text (RFC 4648 alphabet, "=" padding, one line) of the keyed
// archives kept in the document database.

#include <QByteArray>
#include <QString>

#include <optional>

namespace cv {

class Base64Utilities {
public:
    // Empty data answers an empty text.
    static QString base64EncodingForData(const QByteArray &data);
    // Decodes text exactly as the encoder writes it: groups of four characters
    // of the alphabet, "=" only at the end of the last group. Anything else,
    // and an empty text, answers none.
    static std::optional<QByteArray> dataWithBase64EncodedString(const QString &text);
};

} // namespace cv
