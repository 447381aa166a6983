#pragma once
// Details of a loan account (kind 41): the loan's terms, and the computation
// of its repayment schedule from them. The schedule itself is kept by the
// document, not by this record.

#include "model/AccountDetail.h"
#include "model/LoanPayment.h"

#include <optional>

namespace cv {

class LoanTerms : public AccountDetail {
public:
    enum LoanType { Annuity = 0, EqualPrincipal = 1, Flat = 2 };

    enum RepaymentFlag {
        ManualSchedule = 1,         // recalcPayment keeps the amounts
        InterestInArrears = 2,      // equal principal: no row on the start date
        FirstDueNextMonth = 4,      // first due date in the month after the start
        HolidayToPrevious = 16,     // move due dates to the previous business day
        HolidayNoMove = 32,         // keep due dates on holidays
        CountFromStartDate = 64,    // first period counted from the start date itself
        NoFirstRowAdjustment = 128, // the remainder goes to the last row
    };

    int loanType() const { return m_loanType; }
    void setLoanType(int type) { m_loanType = type; }
    int dueDay() const { return m_dueDay; } // 31 = the last day of the month
    void setDueDay(int day) { m_dueDay = day; }
    double rate() const { return m_rate; } // annual, as a fraction
    void setRate(double rate) { m_rate = rate; }
    int times() const { return m_times; } // number of due dates
    void setTimes(int times) { m_times = times; }
    int inAccount() const { return m_inAccount; }
    void setInAccount(int account); // non-zero clears outCategory
    int outCategory() const { return m_outCategory; }
    void setOutCategory(int category); // non-zero clears inAccount
    int repaymentAccount() const { return m_repaymentAccount; }
    void setRepaymentAccount(int account) { m_repaymentAccount = account; }
    int repaymentFlags() const { return m_repaymentFlags; }
    // Refuses (and keeps the old flags) when both holiday options are set.
    bool setRepaymentFlags(int flags);
    int bonusMonths() const { return m_bonusMonths; } // bit m-1 = month m
    void setBonusMonths(int months) { m_bonusMonths = months; }
    double bonusAmount() const { return m_bonusAmount; }
    void setBonusAmount(double amount) { m_bonusAmount = amount; }
    int dataFlags() const { return m_dataFlags; }
    void setDataFlags(int flags) { m_dataFlags = flags; }
    // Set by the loan sheet, never archived.
    int unit() const { return m_unit; }
    void setUnit(int unit) { m_unit = unit; }
    int fraction() const { return m_fraction; } // 0: whole units, else hundredths
    void setFraction(int fraction) { m_fraction = fraction; }

    // The record does not hold the schedule.
    std::optional<LoanSchedule> payments() const { return std::nullopt; }

    // Why these terms give no schedule, in words the loan sheet can show;
    // null when they give one. calcPayment answers nothing for such terms and
    // recalcPayment leaves the amounts alone.
    QString notReadyReason() const;
    bool isReadyToCalc() const { return notReadyReason().isNull(); }

    // Schedule computation. No due date lies before the start date, and no
    // interest is below 0.
    LoanSchedule calcPayment() const;
    void recalcPayment(LoanSchedule &schedule, int recalcIndex) const;
    void recalcPaymentRest(LoanSchedule &schedule) const;
    LoanSchedule generateArray() const;
    void calcArrayData(LoanSchedule &schedule, cv::LoanPaymentKind kind, int recalcIndex) const;
    void optimizeArrayData(LoanSchedule &schedule) const;
    QDate firstDueDate() const;
    // The day in the month `monthOffset` months after the date's month, or the
    // last day of that month when it is shorter.
    static QDate nextDate(const QDate &date, int monthOffset, int day);

    QString description() const override;

    QString archiveClassName() const override { return QStringLiteral("CV4LoanModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    // The part repaid by bonus rows: none when no due date falls in a bonus month.
    double bonusPart() const;
    std::vector<QDate> dueDates() const;
    int dueDatesCarrying(cv::LoanPaymentKind kind) const;

    int m_loanType = 0;
    int m_dueDay = 1;
    double m_rate = 0;
    int m_times = 0;
    int m_inAccount = 0;
    int m_outCategory = 0;
    int m_repaymentAccount = 0;
    int m_repaymentFlags = 0;
    int m_bonusMonths = 0;
    double m_bonusAmount = 0;
    int m_dataFlags = 0;
    int m_unit = 0;
    int m_fraction = 0;
};

using LoanTermsPtr = std::shared_ptr<LoanTerms>;

} // namespace cv
