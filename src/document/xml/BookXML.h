#pragma once
// The whole-document XML form ("cvxf"): a line-oriented writer that keeps the
// exact layout other programs and the shipped templates rely on, and a
// streaming reader that treats every file as untrusted.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

namespace cv {

class Book;

namespace xml {

// Writes the document to an open device; false when any write failed.
bool exportTo(Book &document, QIODevice &device);
// Reads a file of the form into the document. False when the text is not
// well-formed, a loan's schedule is out of range or a store write failed,
// with the user's words in `why`; what was read before stays.
bool importFrom(Book &document, QIODevice &device, bool *isTemplate = nullptr, QString *why = nullptr);

// Number and text forms, shared by writer and reader.
// The given fixed form when it reads back as the same value, else "%.6f"
// when that does, else the shortest fixed form that does.
QByteArray decimal(double value, int decimals);
// decimal(value, decimals) appended to the text, made without a heap piece.
void appendDecimal(QByteArray &out, double value, int decimals);
// The date of a day number as "y.m.d" (2008.5.1), appended.
void appendDayDate(QByteArray &out, int dayNumber);
// The integer form when the value is whole, else as decimal(value, 6).
QByteArray count(double value);
// Text of a text element or (attribute = true) of an attribute value;
// characters XML forbids are dropped.
QByteArray escaped(const QString &text, bool attribute);
// escaped(text, false) of a stored text (UTF-8, else Latin-1, a leading BOM
// dropped, as the store decodes it) appended; false when it decodes empty.
bool appendStoredText(QByteArray &out, QByteArrayView stored);
// The number at the start of the text (blanks, sign, digits, point, exponent); empty when none.
QStringView leadingNumber(QStringView text);
// The leading decimal of an attribute text; 0 when there is none.
double parseDecimal(QStringView text);

} // namespace xml

} // namespace cv
