#pragma once
// Detail record of an account: start date, opening balance and memo. Base of
// the bank, card, investment and loan details, which archive the base keys first.

#include "model/ExtraInterfaces.h"
#include "platform/KeyedArchiver.h"

#include <QDate>
#include <QString>

#include <memory>

namespace cv {

class AccountDetail : public cv::KeyedArchivable, public DatedExtra, public InitialValueExtra {
public:
    AccountDetail() = default;

    QDate date() const override { return m_date; } // invalid = no start date
    void setDate(const QDate &date) { m_date = date; }
    double initialValue() const override { return m_initialValue; }
    void setInitialValue(double value) { m_initialValue = value; }
    QString memo() const; // "" when none
    void setMemo(const QString &memo) { m_memo = memo; }

    virtual QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4AssetModel"); }
    // Subclasses name themselves; the chain then runs through this class.
    QStringList archiveClassChain() const override;
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QDate m_date;
    double m_initialValue = 0;
    QString m_memo;
};

using AccountDetailPtr = std::shared_ptr<AccountDetail>;

// Details of an investment account stored by older versions; nothing makes
// one now, but archives that hold one must still open.
class InvestmentDetail : public AccountDetail {
public:
    QString archiveClassName() const override { return QStringLiteral("CV4InvestModel"); }
};

} // namespace cv
