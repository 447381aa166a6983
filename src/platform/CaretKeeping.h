#pragma once
// Keeping the caret and the text's look while an amount is reformatted as it
// is typed ("12345" becoming "12,345"). Pure functions over texts and
// selections, so any editor can apply them.

#include <QString>

namespace cv {

struct TextSelection {
    int location = 0;
    int length = 0;
    bool operator==(const TextSelection &) const = default;
};

// Where the selection goes in newText after oldText (selected at oldRange)
// was reformatted into it. Significant characters are the decimal digits and
// the characters of specialCharacters; the caret keeps the count of
// significant characters before it (fromBeginning) or after the old
// selection's end. current is the editor's selection now; its length is kept,
// and it is answered as it stands when counting from the end finds too few
// significant characters.
TextSelection fixCurrencySelection(const QString &oldText, TextSelection oldRange, const QString &specialCharacters,
                                   bool fromBeginning, const QString &newText, TextSelection current);

// Length of the longest common prefix: the part of the old text (and its
// look) that stays when the new text replaces it.
int commonPrefixLength(const QString &oldText, const QString &newText);

} // namespace cv
