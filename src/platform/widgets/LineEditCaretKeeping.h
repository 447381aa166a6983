#pragma once
// The caret-keeping rules applied to the editors that show amounts.

#include "platform/CaretKeeping.h"

class QLineEdit;
class QTextDocument;

namespace cv {

TextSelection lineEditSelection(const QLineEdit *edit);
void setLineEditSelection(QLineEdit *edit, TextSelection selection);

// After the edit's text was reformatted from oldText (selected at oldRange),
// puts its caret back among the same significant characters.
void fixCurrencySelection(QLineEdit *edit, const QString &oldText, TextSelection oldRange,
                          const QString &specialCharacters = QString(), bool fromBeginning = false);

// Replaces the document's text; the part it shares with the old text keeps
// its formats and the rest takes the format found where they part.
void setStringWithAttributesOfOldString(QTextDocument *document, const QString &newText);

} // namespace cv
