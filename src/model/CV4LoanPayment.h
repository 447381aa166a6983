#pragma once
// One row of a loan's repayment schedule.

#include "platform/KeyedArchiver.h"

#include <QDate>

#include <memory>
#include <vector>

class CV4LoanPayment : public cv::KeyedArchivable {
public:
    enum Kind {
        Regular = 0,
        Bonus = 1,
        ExtraLowerRegular = 2,     // extra repayment that lowers the later payments
        ExtraLowerBonus = 3,
        ExtraShortenRegular = 4,   // extra repayment that shortens the term
        ExtraShortenBonus = 5,
    };

    int kind() const { return kind_; }
    void setKind(int kind) { kind_ = kind; }
    QDate date() const { return date_; }
    void setDate(const QDate &date) { date_ = date; }
    double rate() const { return rate_; }   // annual, as a fraction
    void setRate(double rate) { rate_ = rate; }
    double interest() const { return interest_; }
    void setInterest(double interest) { interest_ = interest; }
    double principal() const { return principal_; }
    void setPrincipal(double principal) { principal_ = principal; }
    double rest() const { return rest_; }   // balance after this row
    void setRest(double rest) { rest_ = rest; }
    int account() const { return account_; }
    void setAccount(int account) { account_ = account; }

    QString archiveClassName() const override { return QStringLiteral("CV4LoanPayment"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int kind_ = 0;
    QDate date_;
    double rate_ = 0;
    double interest_ = 0;
    double principal_ = 0;
    double rest_ = 0;
    int account_ = 0;
};

using CV4LoanPaymentPtr = std::shared_ptr<CV4LoanPayment>;
using CV4LoanSchedule = std::vector<CV4LoanPaymentPtr>;

// A record of earlier versions that nothing makes any more; archives that
// hold one must still open.
class CV4LoanLump : public cv::KeyedArchivable {
public:
    int time() const { return time_; }
    double value() const { return value_; }

    QString archiveClassName() const override { return QStringLiteral("CV4LoanLump"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int time_ = 0;
    double value_ = 0;
};
