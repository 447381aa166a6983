#pragma once
// Details of a loan account (kind 41): the loan's terms, and the computation
// of its repayment schedule from them. The schedule itself is kept by the
// document, not by this record.

#include "model/CV4AssetModel.h"
#include "model/CV4LoanPayment.h"

#include <optional>

class CV4LoanModel : public CV4AssetModel {
public:
    enum LoanType { Annuity = 0, EqualPrincipal = 1, Flat = 2 };

    enum RepaymentFlag {
        ManualSchedule = 1,          // recalcPayment keeps the amounts
        InterestInArrears = 2,       // equal principal: no row on the start date
        FirstDueNextMonth = 4,       // first due date in the month after the start
        HolidayToPrevious = 16,      // move due dates to the previous business day
        HolidayNoMove = 32,          // keep due dates on holidays
        CountFromStartDate = 64,     // first period counted from the start date itself
        NoFirstRowAdjustment = 128,  // the remainder goes to the last row
    };

    int loanType() const { return loanType_; }
    void setLoanType(int type) { loanType_ = type; }
    int dueDay() const { return dueDay_; }       // 31 = the last day of the month
    void setDueDay(int day) { dueDay_ = day; }
    double rate() const { return rate_; }        // annual, as a fraction
    void setRate(double rate) { rate_ = rate; }
    int times() const { return times_; }         // number of due dates
    void setTimes(int times) { times_ = times; }
    int inAccount() const { return inAccount_; }
    void setInAccount(int account);              // non-zero clears outCategory
    int outCategory() const { return outCategory_; }
    void setOutCategory(int category);           // non-zero clears inAccount
    int repaymentAccount() const { return repaymentAccount_; }
    void setRepaymentAccount(int account) { repaymentAccount_ = account; }
    int repaymentFlags() const { return repaymentFlags_; }
    // Refuses (and keeps the old flags) when both holiday options are set.
    bool setRepaymentFlags(int flags);
    int bonusMonths() const { return bonusMonths_; }   // bit m-1 = month m
    void setBonusMonths(int months) { bonusMonths_ = months; }
    double bonusAmount() const { return bonusAmount_; }
    void setBonusAmount(double amount) { bonusAmount_ = amount; }
    int dataFlags() const { return dataFlags_; }
    void setDataFlags(int flags) { dataFlags_ = flags; }
    // Set by the loan sheet, never archived.
    int unit() const { return unit_; }
    void setUnit(int unit) { unit_ = unit; }
    int fraction() const { return fraction_; }   // 0: whole units, else hundredths
    void setFraction(int fraction) { fraction_ = fraction; }

    // The record does not hold the schedule.
    std::optional<CV4LoanSchedule> payments() const { return std::nullopt; }

    // Why these terms give no schedule, in words the loan sheet can show;
    // null when they give one. calcPayment answers nothing for such terms and
    // recalcPayment leaves the amounts alone.
    QString notReadyReason() const;
    bool isReadyToCalc() const { return notReadyReason().isNull(); }

    // Schedule computation. No due date lies before the start date, and no
    // interest is below 0.
    CV4LoanSchedule calcPayment() const;
    void recalcPayment(CV4LoanSchedule &schedule, int recalcIndex) const;
    void recalcPaymentRest(CV4LoanSchedule &schedule) const;
    CV4LoanSchedule generateArray() const;
    void calcArrayData(CV4LoanSchedule &schedule, int kind, int recalcIndex) const;
    void optimizeArrayData(CV4LoanSchedule &schedule) const;
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
    int dueDatesCarrying(int kind) const;

    int loanType_ = 0;
    int dueDay_ = 1;
    double rate_ = 0;
    int times_ = 0;
    int inAccount_ = 0;
    int outCategory_ = 0;
    int repaymentAccount_ = 0;
    int repaymentFlags_ = 0;
    int bonusMonths_ = 0;
    double bonusAmount_ = 0;
    int dataFlags_ = 0;
    int unit_ = 0;
    int fraction_ = 0;
};

using CV4LoanModelPtr = std::shared_ptr<CV4LoanModel>;
