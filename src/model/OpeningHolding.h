#pragma once
// Opening holding of a security in an investment account: the detail record
// of a holding node (kind 6).

#include "model/ExtraInterfaces.h"
#include "platform/KeyedArchiver.h"

#include <QDate>
#include <QString>

#include <memory>

namespace cv {

class OpeningHolding : public cv::KeyedArchivable, public DatedExtra, public SecurityExtra {
public:
    int security() const override { return m_security; } // security ident
    void setSecurity(int security) { m_security = security; }
    QDate date() const override { return m_date; } // invalid = no date
    void setDate(const QDate &date) { m_date = date; }
    double units() const { return m_units; }
    void setUnits(double units) { m_units = units; }
    double unitPrice() const { return m_unitPrice; }
    void setUnitPrice(double price) { m_unitPrice = price; }
    double commission() const { return m_commission; }
    void setCommission(double commission) { m_commission = commission; }
    QString memo() const; // "" when none
    void setMemo(const QString &memo) { m_memo = memo; }
    int flags() const { return m_flags; } // edit flags, not archived
    void setFlags(int flags) { m_flags = flags; }

    QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4InvestUnit"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_security = 0;
    QDate m_date;
    double m_units = 0;
    double m_unitPrice = 0;
    double m_commission = 0;
    QString m_memo;
    int m_flags = 0;
};

using OpeningHoldingPtr = std::shared_ptr<OpeningHolding>;

} // namespace cv
