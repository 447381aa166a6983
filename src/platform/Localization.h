#pragma once
// User-visible texts: keys looked up in the string tables compiled in from
// resources/strings (ja.strings, en.strings).

#include <QString>
#include <QVariant>
#include <QVariantList>

class QObject;

namespace cv {

// The text of the key in the current language; the key itself when missing.
QString localizedString(const QString &key);
// A key written in the code: UTF-8, as the source is (some keys hold typographic quotes).
inline QString localizedString(const char *key)
{
    return localizedString(QString::fromUtf8(key));
}

// "ja" when the first preferred UI language is Japanese, otherwise "en".
QString currentLanguage();
bool isJapanese();
// Japanese text columns prefer the user's input method, amount and date
// columns Latin input; only for a Japanese user. The editor is any object
// with the inputMethodHints property.
void changeTextInputSource(QObject *editor, bool japanese);

// Overrides the language (tests, and a future preference); an empty text
// returns to the system's preferred language.
void setLanguageOverride(const QString &language);

// Fills the string tables' placeholders ("%@" for any text, printf's "%d",
// "%ld", "%.2f", "%s", "%%", and positional "%1$@") from the arguments, in
// order unless positional.
QString formatString(const QString &format, const QVariantList &args);

} // namespace cv
