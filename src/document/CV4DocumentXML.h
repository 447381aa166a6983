#pragma once
// The whole-document XML form ("cvxf"): a line-oriented writer that keeps the
// exact layout other programs and the shipped templates rely on, and a
// streaming reader that treats every file as untrusted.

#include <QByteArray>
#include <QIODevice>
#include <QString>

class CV4Document;

namespace cv::xml {

// Writes the document to an open device; false when any write failed.
bool exportTo(CV4Document &document, QIODevice &device);
// Reads a file of the form into the document. False when the text is not
// well-formed (or a store write failed); what was read before stays.
bool importFrom(CV4Document &document, QIODevice &device, bool *isTemplate = nullptr);

// Number and text forms, shared by writer and reader.
// The given fixed form when it reads back as the same value, else "%.6f"
// when that does, else the shortest fixed form that does.
QByteArray decimal(double value, int decimals);
// The integer form when the value is whole, else as decimal(value, 6).
QByteArray count(double value);
// Text of a text element or (attribute = true) of an attribute value;
// characters XML forbids are dropped.
QByteArray escaped(const QString &text, bool attribute);
// The number at the start of the text (blanks, sign, digits, point, exponent); empty when none.
QStringView leadingNumber(QStringView text);
// The leading decimal of an attribute text; 0 when there is none.
double parseDecimal(QStringView text);

} // namespace cv::xml
