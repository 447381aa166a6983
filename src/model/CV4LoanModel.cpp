#include "model/CV4LoanModel.h"

#include "platform/Logging.h"

namespace {

bool holidayOptionsClash(int flags)
{
    const int both = CV4LoanModel::HolidayToPrevious | CV4LoanModel::HolidayNoMove;
    return (flags & both) == both;
}

} // namespace

void CV4LoanModel::setInAccount(int account)
{
    inAccount_ = account;
    if (account != 0) outCategory_ = 0;
}

void CV4LoanModel::setOutCategory(int category)
{
    outCategory_ = category;
    if (category != 0) inAccount_ = 0;
}

bool CV4LoanModel::setRepaymentFlags(int flags)
{
    if (holidayOptionsClash(flags)) {
        qCWarning(lcModel) << "setRepaymentFlags: Hoiday Option is illegal";
        return false;
    }
    repaymentFlags_ = flags;
    return true;
}

QString CV4LoanModel::description() const
{
    return CV4AssetModel::description()
        + QStringLiteral("\n    type:%1 due:%2 rate:%3 times:%4 flags:%5\n    in:%6 out:%7 repay:%8 bonus:%9/%10")
              .arg(loanType_)
              .arg(dueDay_)
              .arg(rate_)
              .arg(times_)
              .arg(repaymentFlags_)
              .arg(inAccount_)
              .arg(outCategory_)
              .arg(repaymentAccount_)
              .arg(bonusMonths_)
              .arg(bonusAmount_);
}

void CV4LoanModel::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    CV4AssetModel::encodeWithCoder(coder);
    coder.encodeInt(QStringLiteral("type"), loanType_);
    coder.encodeInt(QStringLiteral("due"), dueDay_);
    coder.encodeDouble(QStringLiteral("rate"), rate_);
    coder.encodeInt(QStringLiteral("times"), times_);
    coder.encodeInt(QStringLiteral("flags"), repaymentFlags_);
    if (dataFlags_ != 0) coder.encodeInt(QStringLiteral("dataFlag"), dataFlags_);
    coder.encodeInt(QStringLiteral("inAcc"), inAccount_);
    coder.encodeInt(QStringLiteral("outCat"), outCategory_);
    coder.encodeInt(QStringLiteral("repayAcc"), repaymentAccount_);
    coder.encodeInt(QStringLiteral("bonusMont"), bonusMonths_);
    coder.encodeDouble(QStringLiteral("bonusAmount"), bonusAmount_);
}

bool CV4LoanModel::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!CV4AssetModel::initWithCoder(coder)) return false;
    setLoanType(coder.decodeIntForKey(QStringLiteral("type")));
    setDueDay(coder.decodeIntForKey(QStringLiteral("due")));
    setRate(coder.decodeDoubleForKey(QStringLiteral("rate")));
    setTimes(coder.decodeIntForKey(QStringLiteral("times")));
    int flags = coder.decodeIntForKey(QStringLiteral("flags"));
    if (holidayOptionsClash(flags)) {
        // The schedule has always kept such dates unmoved; read it that way.
        qCWarning(lcModel) << "loan with both holiday options; reading it as dates not moved";
        flags &= ~HolidayToPrevious;
    }
    setRepaymentFlags(flags);
    setDataFlags(coder.decodeIntForKey(QStringLiteral("dataFlag")));
    setInAccount(coder.decodeIntForKey(QStringLiteral("inAcc")));
    setOutCategory(coder.decodeIntForKey(QStringLiteral("outCat")));
    setRepaymentAccount(coder.decodeIntForKey(QStringLiteral("repayAcc")));
    setBonusMonths(coder.decodeIntForKey(QStringLiteral("bonusMont")));
    setBonusAmount(coder.decodeDoubleForKey(QStringLiteral("bonusAmount")));
    return !coder.failed();
}
