#include "platform/Base64Utilities.h"

#include <array>

namespace cv {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 128> makeTable()
{
    std::array<signed char, 128> t{};
    for (auto &c : t) c = -1;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return t;
}

constexpr std::array<signed char, 128> kValues = makeTable();

} // namespace

QString Base64Utilities::base64EncodingForData(const QByteArray &data)
{
    const auto *in = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype n = data.size();
    QByteArray out;
    out.reserve((n + 2) / 3 * 4);
    qsizetype i = 0;
    for (; i + 2 < n; i += 3) {
        const unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        out.append(kAlphabet[v >> 18])
            .append(kAlphabet[(v >> 12) & 63])
            .append(kAlphabet[(v >> 6) & 63])
            .append(kAlphabet[v & 63]);
    }
    if (i < n) {
        const unsigned v = (in[i] << 16) | (i + 1 < n ? in[i + 1] << 8 : 0);
        out.append(kAlphabet[v >> 18]).append(kAlphabet[(v >> 12) & 63]);
        out.append(i + 1 < n ? kAlphabet[(v >> 6) & 63] : '=').append('=');
    }
    // Not null even when empty: empty data has a text, the empty one.
    return out.isEmpty() ? QString(QLatin1String("")) : QString::fromLatin1(out);
}

std::optional<QByteArray> Base64Utilities::dataWithBase64EncodedString(const QString &text)
{
    const qsizetype n = text.size();
    if (n == 0 || n % 4 != 0) return std::nullopt;
    const QChar *s = text.constData();
    // At most two "=", and only closing the last group.
    qsizetype pad = 0;
    if (s[n - 1] == u'=') pad = (s[n - 2] == u'=') ? 2 : 1;
    QByteArray out;
    out.reserve(n / 4 * 3);
    for (qsizetype i = 0; i < n; i += 4) {
        const qsizetype chars = (i + 4 == n) ? 4 - pad : 4;
        unsigned v = 0;
        for (qsizetype j = 0; j < 4; ++j) {
            v <<= 6;
            if (j >= chars) continue;
            const char16_t c = s[i + j].unicode();
            if (c >= 128 || kValues[c] < 0) return std::nullopt;
            v |= unsigned(kValues[c]);
        }
        out.append(char(v >> 16));
        if (chars > 2) out.append(char((v >> 8) & 0xff));
        if (chars > 3) out.append(char(v & 0xff));
    }
    return out;
}

} // namespace cv
