#pragma once
// Shared conversions behind the by-name field access of the model records.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <type_traits>

namespace cv::record {

inline QVariant dateValue(const QDate &date)
{
    return date.isValid() ? QVariant(date) : QVariant();
}

// Each setter leaves the field alone and answers false when the value does not fit.
inline bool assignInt(int &field, const QVariant &value)
{
    if (!value.isValid()) return false;
    bool ok = false;
    const int v = value.toInt(&ok);
    if (ok) field = v;
    return ok;
}

// A kind takes the stored number as it comes, like the readers do.
template <typename Kind>
requires std::is_enum_v<Kind>
inline bool assignInt(Kind &field, const QVariant &value)
{
    int v = 0;
    if (!assignInt(v, value)) return false;
    field = Kind(v);
    return true;
}

inline bool assignDouble(double &field, const QVariant &value)
{
    if (!value.isValid()) return false;
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (ok) field = v;
    return ok;
}

// A null value clears the date.
inline bool assignDate(QDate &field, const QVariant &value)
{
    if (value.isNull()) {
        field = QDate();
        return true;
    }
    if (value.typeId() == QMetaType::QDate) {
        field = value.toDate();
        return true;
    }
    if (value.typeId() == QMetaType::QDateTime) {
        field = value.toDateTime().date();
        return true;
    }
    return false;
}

inline bool assignString(QString &field, const QVariant &value)
{
    if (!value.isValid()) {
        field = QString();
        return true;
    }
    if (!value.canConvert<QString>()) return false;
    field = value.toString();
    return true;
}

// Text that the record normalises goes through its setter.
template <class Setter> bool assignStringThrough(Setter &&set, const QVariant &value)
{
    QString text;
    if (!assignString(text, value)) return false;
    set(text);
    return true;
}

} // namespace cv::record
