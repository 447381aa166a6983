#include "model/LoanTerms.h"

#include "platform/Logging.h"

namespace cv {

namespace {

bool holidayOptionsClash(int flags)
{
    const int both = LoanTerms::HolidayToPrevious | LoanTerms::HolidayNoMove;
    return (flags & both) == both;
}

} // namespace

void LoanTerms::setInAccount(int account)
{
    m_inAccount = account;
    if (account != 0) m_outCategory = 0;
}

void LoanTerms::setOutCategory(int category)
{
    m_outCategory = category;
    if (category != 0) m_inAccount = 0;
}

bool LoanTerms::setRepaymentFlags(int flags)
{
    if (holidayOptionsClash(flags)) {
        qCWarning(lcModel) << "setRepaymentFlags: Hoiday Option is illegal";
        return false;
    }
    m_repaymentFlags = flags;
    return true;
}

QString LoanTerms::description() const
{
    return AccountDetail::description() +
           QStringLiteral("\n    type:%1 due:%2 rate:%3 times:%4 flags:%5\n    in:%6 out:%7 repay:%8 bonus:%9/%10")
               .arg(m_loanType)
               .arg(m_dueDay)
               .arg(m_rate)
               .arg(m_times)
               .arg(m_repaymentFlags)
               .arg(m_inAccount)
               .arg(m_outCategory)
               .arg(m_repaymentAccount)
               .arg(m_bonusMonths)
               .arg(m_bonusAmount);
}

void LoanTerms::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    AccountDetail::encodeWithCoder(coder);
    coder.encodeInt(QStringLiteral("type"), m_loanType);
    coder.encodeInt(QStringLiteral("due"), m_dueDay);
    coder.encodeDouble(QStringLiteral("rate"), m_rate);
    coder.encodeInt(QStringLiteral("times"), m_times);
    coder.encodeInt(QStringLiteral("flags"), m_repaymentFlags);
    if (m_dataFlags != 0) coder.encodeInt(QStringLiteral("dataFlag"), m_dataFlags);
    coder.encodeInt(QStringLiteral("inAcc"), m_inAccount);
    coder.encodeInt(QStringLiteral("outCat"), m_outCategory);
    coder.encodeInt(QStringLiteral("repayAcc"), m_repaymentAccount);
    coder.encodeInt(QStringLiteral("bonusMont"), m_bonusMonths);
    coder.encodeDouble(QStringLiteral("bonusAmount"), m_bonusAmount);
}

bool LoanTerms::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!AccountDetail::initWithCoder(coder)) return false;
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

} // namespace cv
