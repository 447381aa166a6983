#pragma once
// Opening holding of a security in an investment account: the detail record
// of a holding node (kind 6).

#include "model/CVExtraInterfaces.h"
#include "platform/KeyedArchiver.h"

#include <QDate>
#include <QString>

#include <memory>

class CV4InvestUnit : public cv::KeyedArchivable, public CVDatedExtra, public CVBrandExtra {
public:
    int brand() const override { return brand_; }    // security ident
    void setBrand(int brand) { brand_ = brand; }
    QDate date() const override { return date_; }    // invalid = no date
    void setDate(const QDate &date) { date_ = date; }
    double units() const { return units_; }
    void setUnits(double units) { units_ = units; }
    double unitPrice() const { return unitPrice_; }
    void setUnitPrice(double price) { unitPrice_ = price; }
    double commission() const { return commission_; }
    void setCommission(double commission) { commission_ = commission; }
    QString memo() const;                            // "" when none
    void setMemo(const QString &memo) { memo_ = memo; }
    int flags() const { return flags_; }             // edit flags, not archived
    void setFlags(int flags) { flags_ = flags; }

    QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4InvestUnit"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int brand_ = 0;
    QDate date_;
    double units_ = 0;
    double unitPrice_ = 0;
    double commission_ = 0;
    QString memo_;
    int flags_ = 0;
};

using CV4InvestUnitPtr = std::shared_ptr<CV4InvestUnit>;
