#include "platform/CaretKeeping.h"

#include <QtGlobal>

namespace cv {

namespace {

bool isSignificant(QChar c, const QString &special)
{
    return c.isDigit() || (!special.isEmpty() && special.contains(c));
}

int countSignificant(const QString &text, int from, int to, const QString &special)
{
    int n = 0;
    for (int i = from; i < to; ++i) {
        if (isSignificant(text.at(i), special)) ++n;
    }
    return n;
}

TextSelection clamped(TextSelection s, int textLength)
{
    s.location = qBound(0, s.location, textLength);
    s.length = qBound(0, s.length, textLength - s.location);
    return s;
}

} // namespace

TextSelection fixCurrencySelection(const QString &oldText, TextSelection oldRange, const QString &specialCharacters,
                                   bool fromBeginning, const QString &newText, TextSelection current)
{
    const int newLength = int(newText.size());
    if (newText == oldText) {
        if (oldRange.location < 0) return current;
        return clamped(oldRange, newLength);
    }

    const TextSelection old = clamped(oldRange, int(oldText.size()));
    int caret = 0;
    if (fromBeginning) {
        int k = countSignificant(oldText, 0, old.location, specialCharacters);
        // Just after the k-th significant character; the end when there are fewer.
        while (k > 0 && caret < newLength) {
            if (isSignificant(newText.at(caret), specialCharacters)) --k;
            ++caret;
        }
    } else {
        int k = countSignificant(oldText, old.location + old.length, int(oldText.size()), specialCharacters);
        caret = newLength;
        while (k > 0 && caret > 0) {
            --caret;
            if (isSignificant(newText.at(caret), specialCharacters)) --k;
        }
        if (k > 0) return current;
    }
    return clamped(TextSelection{caret, current.length}, newLength);
}

int commonPrefixLength(const QString &oldText, const QString &newText)
{
    const int n = int(qMin(oldText.size(), newText.size()));
    int p = 0;
    while (p < n && oldText.at(p) == newText.at(p)) ++p;
    return p;
}

} // namespace cv
