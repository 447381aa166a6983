#pragma once
// One currency of a document. The document keeps an ordered list of them and
// archives it whole; everything else refers to a currency by its ident.

#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>

namespace cv {

class Currency : public cv::KeyedArchivable {
public:
    // A blank currency (every field 0 or none), as archives are decoded into.
    Currency() = default;

    // A new currency: the preset ident when the code is one of the eight
    // preset codes exactly as written, else 100; rate 1.0, flags 0.
    static std::shared_ptr<Currency> currencyWith(const QString &name, const QString &abbr, const QString &prefix,
                                                  int fraction);
    // The preset ident of a code (exact match), or 100.
    static int presetIdent(const QString &abbr);

    int ident() const { return m_ident; }
    void setIdent(int ident) { m_ident = ident; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString abbr() const { return m_abbr; }
    void setAbbr(const QString &abbr) { m_abbr = abbr; }
    QString prefix() const { return m_prefix; }
    void setPrefix(const QString &prefix) { m_prefix = prefix; }
    int fraction() const { return m_fraction; }
    void setFraction(int fraction) { m_fraction = fraction; }
    // Kept and archived as they are.
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    // Value of one unit in the default currency.
    double rate() const { return m_rate; }
    void setRate(double rate) { m_rate = rate; }

    QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4Currency"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_ident = 0;
    QString m_name;
    QString m_abbr;
    QString m_prefix;
    int m_fraction = 0;
    int m_flags = 0;
    double m_rate = 0;
};

using CurrencyPtr = std::shared_ptr<Currency>;

} // namespace cv
