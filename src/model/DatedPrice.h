#pragma once
// One dated price of a security, or exchange rate of a currency.

#include "model/EditFlags.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <cmath>
#include <memory>

// No price or rate lies beyond this: a larger one is a slip or crafted input,
// and would carry balances past what a sum can hold (10^308 is infinite).
namespace cv {

inline constexpr double kMaxPriceOrRate = 1e12;
// A price or rate that may be recorded: a number above 0 up to the bound.
inline bool isRecordableRate(double value)
{
    return std::isfinite(value) && value > 0 && value <= kMaxPriceOrRate;
}

class DatedPrice;
using DatedPricePtr = std::shared_ptr<DatedPrice>;

class DatedPrice {
public:
    // Security ident, or currency ident for an exchange rate.
    int security() const { return m_security; }
    void setSecurity(int security) { m_security = security; }
    QDate date() const { return m_date; }
    void setDate(const QDate &date) { m_date = date; }
    // Price per unit, or the rate.
    double price() const { return m_price; }
    void setPrice(double price) { m_price = price; }
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    void toggleDeleted() { m_flags ^= cv::EditDeleted; }

    // Fields by name ("brand", "date", "price", "flags"); see Entry.
    QVariant valueForKey(const QString &key) const;
    bool setValueForKey(const QString &key, const QVariant &value);

    // Same object, or the same security or currency, date and price.
    bool isEqual(const DatedPrice *other) const;
    // A copy with flags 0.
    DatedPricePtr clone() const;

private:
    int m_security = 0;
    QDate m_date;
    double m_price = 0;
    int m_flags = 0;
};

} // namespace cv
