#pragma once
// One row of a loan's repayment schedule.

#include "model/DomainEnums.h"
#include "platform/KeyedArchiver.h"

#include <QDate>

#include <memory>
#include <vector>

namespace cv {

class LoanPayment : public cv::KeyedArchivable {
public:
    cv::LoanPaymentKind kind() const { return m_kind; }
    void setKind(cv::LoanPaymentKind kind) { m_kind = kind; }
    QDate date() const { return m_date; }
    void setDate(const QDate &date) { m_date = date; }
    double rate() const { return m_rate; } // annual, as a fraction
    void setRate(double rate) { m_rate = rate; }
    double interest() const { return m_interest; }
    void setInterest(double interest) { m_interest = interest; }
    double principal() const { return m_principal; }
    void setPrincipal(double principal) { m_principal = principal; }
    double rest() const { return m_rest; } // balance after this row
    void setRest(double rest) { m_rest = rest; }
    int account() const { return m_account; }
    void setAccount(int account) { m_account = account; }

    // Amounts no schedule can hold: not finite, beyond 10^12, negative interest,
    // or a negative extra repayment.
    bool hasImpossibleAmounts() const;

    QString archiveClassName() const override { return QStringLiteral("CV4LoanPayment"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    cv::LoanPaymentKind m_kind = cv::LoanPaymentKind::Regular;
    QDate m_date;
    double m_rate = 0;
    double m_interest = 0;
    double m_principal = 0;
    double m_rest = 0;
    int m_account = 0;
};

using LoanPaymentPtr = std::shared_ptr<LoanPayment>;
using LoanSchedule = std::vector<LoanPaymentPtr>;

// A record of earlier versions that nothing makes any more; archives that
// hold one must still open.
class LoanLump : public cv::KeyedArchivable {
public:
    int time() const { return m_time; }
    double value() const { return m_value; }

    QString archiveClassName() const override { return QStringLiteral("CV4LoanLump"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_time = 0;
    double m_value = 0;
};

} // namespace cv
