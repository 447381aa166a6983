#include "model/LoanTerms.h"
#include "model/ModelArchiveClasses.h"
#include "platform/DateIntegers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

cv::LoanTerms loan(int type, double amount, double rate, int times, int dueDay, int flags = 0)
{
    cv::LoanTerms m;
    m.setDate(QDate(2009, 4, 10));
    m.setInitialValue(amount);
    m.setRate(rate);
    m.setTimes(times);
    m.setDueDay(dueDay);
    m.setLoanType(type);
    EXPECT_TRUE(m.setRepaymentFlags(flags));
    return m;
}

struct Row {
    QDate date;
    double interest;
    double principal;
    double rest;
};

void expectRow(const cv::LoanSchedule &s, size_t i, const Row &want)
{
    ASSERT_LT(i, s.size());
    EXPECT_EQ(s[i]->date(), want.date) << "row " << i;
    EXPECT_DOUBLE_EQ(s[i]->interest(), want.interest) << "row " << i;
    EXPECT_DOUBLE_EQ(s[i]->principal(), want.principal) << "row " << i;
    EXPECT_DOUBLE_EQ(s[i]->rest(), want.rest) << "row " << i;
}

// Every amount finite, and the principals repay exactly what was borrowed.
void expectSound(const cv::LoanSchedule &s, double borrowed)
{
    double sum = 0;
    for (const auto &r : s) {
        EXPECT_TRUE(std::isfinite(r->interest()) && std::isfinite(r->principal()) && std::isfinite(r->rest()));
        sum += r->principal();
    }
    EXPECT_NEAR(sum, borrowed, 1e-6);
    if (!s.empty()) {
        EXPECT_NEAR(s.back()->rest(), 0, 1e-6);
    }
}

cv::LoanPaymentPtr extra(cv::LoanPaymentKind kind, const QDate &date, double amount)
{
    auto p = std::make_shared<cv::LoanPayment>();
    p->setKind(kind);
    p->setDate(date);
    p->setPrincipal(amount);
    return p;
}

// Writes whatever the test wants under a class name, to read it back as a model record.
class RawRecord : public cv::KeyedArchivable {
public:
    RawRecord(QString name, std::function<void(cv::KeyedArchiver &)> write)
        : name_(std::move(name)), write_(std::move(write))
    {
    }
    QString archiveClassName() const override { return name_; }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override { write_(coder); }
    bool initWithCoder(cv::KeyedUnarchiver &) override { return false; }

private:
    QString name_;
    std::function<void(cv::KeyedArchiver &)> write_;
};

template <class T> std::shared_ptr<T> readRaw(const QString &name, std::function<void(cv::KeyedArchiver &)> write)
{
    cv::registerModelArchiveClasses();
    auto raw = std::make_shared<RawRecord>(name, std::move(write));
    return cv::KeyedUnarchiver::unarchiveObjectOfClass<T>(cv::KeyedArchiver::archivedDataWithRootObject(raw));
}

} // namespace

TEST(LoanTermsTest, DueDates)
{
    EXPECT_EQ(loan(0, 1, 0, 1, 25).firstDueDate(), QDate(2009, 4, 25));
    EXPECT_EQ(loan(0, 1, 0, 1, 5).firstDueDate(), QDate(2009, 5, 5));
    EXPECT_EQ(loan(0, 1, 0, 1, 25, cv::LoanTerms::FirstDueNextMonth).firstDueDate(), QDate(2009, 5, 25));

    EXPECT_EQ(cv::LoanTerms::nextDate(QDate(2009, 12, 25), 1, 25), QDate(2010, 1, 25));
    EXPECT_EQ(cv::LoanTerms::nextDate(QDate(2009, 1, 31), 1, 31), QDate(2009, 2, 28));
    EXPECT_EQ(cv::LoanTerms::nextDate(QDate(2008, 1, 31), 1, 31), QDate(2008, 2, 29));
    EXPECT_EQ(cv::LoanTerms::nextDate(QDate(2100, 1, 31), 1, 31), QDate(2100, 2, 28)); // not a leap year
    EXPECT_EQ(cv::LoanTerms::nextDate(QDate(2009, 2, 28), 1, 31), QDate(2009, 3, 31));

    // Due day 31 runs along month ends; no date is moved with flag 32.
    cv::LoanTerms m = loan(0, 300, 0, 3, 31, cv::LoanTerms::HolidayNoMove);
    m.setDate(QDate(2009, 1, 10));
    const cv::LoanSchedule s = m.generateArray();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0]->date(), QDate(2009, 1, 31)); // a Saturday
    EXPECT_EQ(s[1]->date(), QDate(2009, 2, 28));
    EXPECT_EQ(s[2]->date(), QDate(2009, 3, 31));

    // 25 April 2009 is a Saturday: next business day, or the one before with flag 16.
    EXPECT_EQ(loan(0, 1, 0, 1, 25).generateArray()[0]->date(), QDate(2009, 4, 27));
    EXPECT_EQ(loan(0, 1, 0, 1, 25, cv::LoanTerms::HolidayToPrevious).generateArray()[0]->date(), QDate(2009, 4, 24));
}

TEST(LoanTermsTest, DueDateOnTheStartDayNeverFallsBeforeIt)
{
    // Lent on Saturday 25 April 2009 with due day 25: the first due date is
    // that very day (the due day has not passed), and no row may come before
    // the loan starts, so "previous business day" takes the next one here.
    const struct {
        int type;
        int flags;
        QDate firstDue; // the first row of a due date
    } cases[] = {
        {cv::LoanTerms::Annuity, 0, QDate(2009, 4, 27)},
        {cv::LoanTerms::Annuity, cv::LoanTerms::HolidayToPrevious, QDate(2009, 4, 27)},
        {cv::LoanTerms::Annuity, cv::LoanTerms::HolidayNoMove, QDate(2009, 4, 25)},
        {cv::LoanTerms::EqualPrincipal, cv::LoanTerms::HolidayToPrevious, QDate(2009, 4, 27)},
        {cv::LoanTerms::Flat, cv::LoanTerms::HolidayToPrevious, QDate(2009, 4, 27)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " flags " << c.flags);
        cv::LoanTerms m = loan(c.type, 1200000, 0.12, 12, 25, c.flags);
        m.setDate(QDate(2009, 4, 25));
        EXPECT_EQ(m.firstDueDate(), QDate(2009, 4, 25));
        const cv::LoanSchedule s = m.calcPayment();
        ASSERT_EQ(s.size(), c.type == cv::LoanTerms::EqualPrincipal ? 13u : 12u);
        EXPECT_EQ(s[c.type == cv::LoanTerms::EqualPrincipal ? 1 : 0]->date(), c.firstDue);
        QDate previous = m.date();
        for (const auto &r : s) {
            EXPECT_GE(r->date(), previous);
            EXPECT_GE(r->interest(), 0);
            previous = r->date();
        }
        expectSound(s, 1200000);
    }
}

TEST(LoanTermsTest, AnnuitySchedule)
{
    cv::LoanTerms m = loan(cv::LoanTerms::Annuity, 1200000, 0.12, 12, 25);
    m.setRepaymentAccount(7);
    const cv::LoanSchedule s = m.calcPayment();
    ASSERT_EQ(s.size(), 12u);
    expectRow(s, 0, {QDate(2009, 4, 27), 7101, 94618, 1105382}); // first interest counts days
    expectRow(s, 1, {QDate(2009, 5, 25), 11053, 95565, 1009817});
    EXPECT_EQ(s[6]->date(), QDate(2009, 10, 26));
    expectRow(s, 11, {QDate(2010, 3, 25), 1055, 105564, 0});
    for (size_t i = 1; i < 11; ++i) EXPECT_DOUBLE_EQ(s[i]->interest() + s[i]->principal(), 106618) << i;
    for (const auto &r : s) {
        EXPECT_EQ(r->account(), 7);
        EXPECT_DOUBLE_EQ(r->rate(), 0.12);
    }
    expectSound(s, 1200000);
}

TEST(LoanTermsTest, EqualPrincipalSchedules)
{
    const cv::LoanSchedule s = loan(cv::LoanTerms::EqualPrincipal, 1000000, 0.03, 12, 27).calcPayment();
    ASSERT_EQ(s.size(), 13u);
    expectRow(s, 0, {QDate(2009, 4, 10), 1479, 0, 1000000}); // interest in advance from the start
    expectRow(s, 1, {QDate(2009, 4, 27), 2441, 10000, 990000});
    for (size_t i = 2; i < 13; ++i) EXPECT_DOUBLE_EQ(s[i]->principal(), 90000) << i;
    EXPECT_DOUBLE_EQ(s[12]->interest(), 0);
    expectSound(s, 1000000);

    const cv::LoanSchedule last =
        loan(cv::LoanTerms::EqualPrincipal, 1000000, 0.03, 12, 27, cv::LoanTerms::NoFirstRowAdjustment).calcPayment();
    ASSERT_EQ(last.size(), 13u);
    EXPECT_DOUBLE_EQ(last[1]->principal(), 90000);
    EXPECT_DOUBLE_EQ(last[12]->principal(), 10000);
    expectSound(last, 1000000);

    const cv::LoanSchedule arrears =
        loan(cv::LoanTerms::EqualPrincipal, 1000000, 0.03, 12, 27, cv::LoanTerms::InterestInArrears).calcPayment();
    ASSERT_EQ(arrears.size(), 12u);
    expectRow(arrears, 0, {QDate(2009, 4, 27), 1479, 87000, 913000});
    for (size_t i = 1; i < 12; ++i) EXPECT_DOUBLE_EQ(arrears[i]->principal(), 83000) << i;
    expectSound(arrears, 1000000);

    // With hundredths the level principal is truncated to whole units, not thousands.
    cv::LoanTerms cents = loan(cv::LoanTerms::EqualPrincipal, 1000, 0.03, 3, 27, cv::LoanTerms::InterestInArrears);
    cents.setFraction(2);
    const cv::LoanSchedule c = cents.calcPayment();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_DOUBLE_EQ(c[0]->principal(), 334);
    EXPECT_DOUBLE_EQ(c[1]->principal(), 333);
    expectSound(c, 1000);
}

TEST(LoanTermsTest, FlatScheduleAndHundredths)
{
    cv::LoanTerms m = loan(cv::LoanTerms::Flat, 1200000, 0.06, 12, 25);
    const cv::LoanSchedule s = m.calcPayment();
    ASSERT_EQ(s.size(), 12u);
    for (const auto &r : s) {
        EXPECT_DOUBLE_EQ(r->interest(), 6000); // on the amount borrowed, every row
        EXPECT_DOUBLE_EQ(r->principal(), 100000);
    }

    // 1.16 / 4 is 0.29, although 0.29 * 100 is 28.999... in binary.
    cv::LoanTerms small = loan(cv::LoanTerms::Flat, 1.16, 0, 4, 25);
    small.setFraction(2);
    const cv::LoanSchedule t = small.calcPayment();
    ASSERT_EQ(t.size(), 4u);
    for (const auto &r : t) EXPECT_DOUBLE_EQ(r->principal(), 0.29);
    expectSound(t, 1.16);

    // An extra of 0.07 off 1000.03 leaves 999.96, and so do the balances.
    cv::LoanTerms odd = loan(cv::LoanTerms::Annuity, 1000.03, 0, 2, 25);
    odd.setFraction(2);
    cv::LoanSchedule u = odd.calcPayment();
    u.insert(u.begin(), extra(cv::LoanPaymentKind::ExtraShortenRegular, QDate(2009, 4, 10), 0.07));
    odd.recalcPayment(u, 0);
    ASSERT_EQ(u.size(), 3u);
    EXPECT_DOUBLE_EQ(u[0]->rest(), 999.96);
    EXPECT_DOUBLE_EQ(u[1]->principal(), 500.01); // the first level payment stays
    EXPECT_DOUBLE_EQ(u[2]->principal(), 499.95);
    expectSound(u, 1000.03);
}

TEST(LoanTermsTest, ExtraRepayments)
{
    const cv::LoanTerms m = loan(cv::LoanTerms::Annuity, 1200000, 0.12, 12, 25);

    // Shorter term: same payment, the schedule ends early and empty rows go.
    cv::LoanSchedule shorter = m.calcPayment();
    shorter.insert(shorter.begin() + 4, extra(cv::LoanPaymentKind::ExtraShortenRegular, QDate(2009, 8, 1), 300000));
    m.recalcPayment(shorter, 3);
    ASSERT_EQ(shorter.size(), 10u);
    expectRow(shorter, 5, {QDate(2009, 8, 25), 5158, 101460, 414351});
    expectRow(shorter, 9, {QDate(2009, 12, 25), 1038, 103841, 0});
    expectSound(shorter, 1200000);

    // Lower payments: the payment is worked out again over the rows left.
    cv::LoanSchedule lower = m.calcPayment();
    lower.insert(lower.begin() + 4, extra(cv::LoanPaymentKind::ExtraLowerRegular, QDate(2009, 8, 1), 300000));
    m.recalcPayment(lower, 3);
    ASSERT_EQ(lower.size(), 13u);
    expectRow(lower, 5, {QDate(2009, 8, 25), 5158, 62253, 453558});
    expectRow(lower, 12, {QDate(2010, 3, 25), 667, 66744, 0});
    expectSound(lower, 1200000);

    // More than is owed is lowered to the balance; nothing is left to pay after it.
    cv::LoanSchedule all = m.calcPayment();
    all.insert(all.begin() + 2, extra(cv::LoanPaymentKind::ExtraShortenRegular, QDate(2009, 6, 1), 5000000));
    m.recalcPayment(all, 1);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_DOUBLE_EQ(all[2]->principal(), 1200000 - 94618 - 95565);
    expectSound(all, 1200000);

    // At a rate of 0 a lowering extra still spreads what is left over the rows left.
    const cv::LoanTerms free = loan(cv::LoanTerms::Annuity, 1200000, 0, 12, 25);
    cv::LoanSchedule f = free.calcPayment();
    EXPECT_DOUBLE_EQ(f[0]->principal(), 100000);
    f.insert(f.begin() + 4, extra(cv::LoanPaymentKind::ExtraLowerRegular, QDate(2009, 8, 1), 300000));
    free.recalcPayment(f, 4);
    ASSERT_EQ(f.size(), 13u);
    for (size_t i = 5; i < 13; ++i) {
        EXPECT_DOUBLE_EQ(f[i]->principal(), 62500) << i;
        EXPECT_DOUBLE_EQ(f[i]->interest(), 0) << i;
    }
    expectSound(f, 1200000);

    // Equal principal: the level principal is spread afresh after a lowering extra.
    const cv::LoanTerms ep =
        loan(cv::LoanTerms::EqualPrincipal, 1200000, 0.03, 12, 27, cv::LoanTerms::InterestInArrears);
    cv::LoanSchedule e = ep.calcPayment();
    e.insert(e.begin() + 6, extra(cv::LoanPaymentKind::ExtraLowerRegular, QDate(2009, 10, 1), 240000));
    ep.recalcPayment(e, 6);
    for (size_t i = 7; i < e.size() - 1; ++i) EXPECT_DOUBLE_EQ(e[i]->principal(), 60000) << i;
    expectSound(e, 1200000);
}

TEST(LoanTermsTest, RecalculationKeepsEarlierRows)
{
    const cv::LoanTerms m = loan(cv::LoanTerms::Annuity, 1200000, 0.12, 12, 25);
    cv::LoanSchedule s = m.calcPayment();
    s[1]->setPrincipal(150000); // edited by the user
    s[1]->setInterest(1);
    m.recalcPayment(s, 2);
    EXPECT_DOUBLE_EQ(s[1]->principal(), 150000);
    EXPECT_DOUBLE_EQ(s[1]->interest(), 1);
    EXPECT_DOUBLE_EQ(s[2]->interest(), 9553); // on 1,200,000 - 94,618 - 150,000
    expectSound(s, 1200000);

    // A changed rate from a row on gives a new payment from there.
    cv::LoanSchedule r = m.calcPayment();
    for (size_t i = 6; i < r.size(); ++i) r[i]->setRate(0.06);
    m.recalcPayment(r, 6);
    EXPECT_DOUBLE_EQ(r[5]->interest(), 7173);
    EXPECT_DOUBLE_EQ(r[6]->interest(), 3089); // 617,906 x 0.005
    expectSound(r, 1200000);

    // A manual schedule only loses its empty tail and gets its balances.
    cv::LoanTerms manual = loan(cv::LoanTerms::Annuity, 1000, 0.12, 2, 25, cv::LoanTerms::ManualSchedule);
    cv::LoanSchedule t;
    for (double p : {300.0, 200.0, 0.0}) {
        auto row = std::make_shared<cv::LoanPayment>();
        row->setPrincipal(p);
        row->setInterest(p / 100);
        t.push_back(row);
    }
    t.push_back(nullptr);
    manual.recalcPayment(t, 0);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_DOUBLE_EQ(t[0]->principal(), 300);
    EXPECT_DOUBLE_EQ(t[1]->interest(), 2);
    EXPECT_DOUBLE_EQ(t[1]->rest(), 500);
}

TEST(LoanTermsTest, DegenerateTermsGiveFiniteSchedules)
{
    for (int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        // A rate of 0.
        const cv::LoanSchedule zero = loan(type, 1200000, 0, 12, 25).calcPayment();
        for (const auto &r : zero) EXPECT_DOUBLE_EQ(r->interest(), 0);
        expectSound(zero, 1200000);
        // A single payment.
        expectSound(loan(type, 500000, 0.05, 1, 25).calcPayment(), 500000);
        expectSound(loan(type, 500000, 0.05, 1, 25, cv::LoanTerms::InterestInArrears).calcPayment(), 500000);
        // No due dates: only the equal-principal row on the start date is left.
        const cv::LoanSchedule none = loan(type, 500000, 0.05, 0, 25).calcPayment();
        if (type == cv::LoanTerms::EqualPrincipal)
            expectSound(none, 500000);
        else
            EXPECT_TRUE(none.empty());
        EXPECT_TRUE(loan(type, 0, 0.05, 12, 25).calcPayment().empty());
    }
    cv::LoanTerms undated = loan(0, 500000, 0.05, 12, 25);
    undated.setDate(QDate());
    EXPECT_TRUE(undated.calcPayment().empty());

    // A bonus part with bonus months no due date reaches stays with the regular rows.
    cv::LoanTerms noBonus = loan(0, 1200000, 0.05, 3, 25);
    noBonus.setBonusAmount(200000);
    noBonus.setBonusMonths(1 << 11); // December
    const cv::LoanSchedule nb = noBonus.calcPayment();
    ASSERT_EQ(nb.size(), 3u);
    expectSound(nb, 1200000);

    // Both holiday options, as a stored document may hold them.
    auto both = readRaw<cv::LoanTerms>(QStringLiteral("CV4LoanModel"), [](cv::KeyedArchiver &c) {
        c.encodeInt(QStringLiteral("date"), (2009 * 12 + 3) * 31 + 9);
        c.encodeDouble(QStringLiteral("init"), 600000);
        c.encodeInt(QStringLiteral("due"), 25);
        c.encodeDouble(QStringLiteral("rate"), 0.02);
        c.encodeInt(QStringLiteral("times"), 6);
        c.encodeInt(QStringLiteral("flags"), 48);
    });
    ASSERT_TRUE(both);
    EXPECT_EQ(both->repaymentFlags(), 32);
    const cv::LoanSchedule b = both->calcPayment();
    ASSERT_EQ(b.size(), 6u);
    EXPECT_EQ(b[0]->date(), QDate(2009, 4, 25)); // not moved off the Saturday
    expectSound(b, 600000);
}

TEST(LoanTermsTest, BonusRows)
{
    cv::LoanTerms m = loan(cv::LoanTerms::Annuity, 1200000, 0.12, 12, 25);
    m.setBonusAmount(200000);
    m.setBonusMonths((1 << 5) | (1 << 11)); // June and December
    const cv::LoanSchedule s = m.calcPayment();
    ASSERT_EQ(s.size(), 14u);
    std::vector<cv::LoanPaymentPtr> bonus;
    for (const auto &r : s)
        if (r->kind() == cv::LoanPaymentKind::Bonus) bonus.push_back(r);
    ASSERT_EQ(bonus.size(), 2u);
    // Half-yearly: 200,000 x 0.06 x 1.06^2 / (1.06^2 - 1) = 109,087 a payment,
    // of which 12,000 is the half year's interest; the first row's interest
    // counts the 77 days from 9 April.
    EXPECT_EQ(bonus[0]->date(), QDate(2009, 6, 25));
    EXPECT_DOUBLE_EQ(bonus[0]->principal(), 97087);
    EXPECT_DOUBLE_EQ(bonus[0]->interest(), 5063);
    EXPECT_EQ(bonus[1]->date(), QDate(2009, 12, 25));
    EXPECT_DOUBLE_EQ(bonus[1]->principal(), 102913);
    EXPECT_DOUBLE_EQ(bonus[1]->interest(), 6174);
    expectSound(s, 1200000);

    // A bonus part above the amount borrowed gives no schedule, and says why;
    // one equal to it leaves the regular rows nothing to repay.
    cv::LoanTerms over = m;
    over.setBonusAmount(1200000.01);
    over.setFraction(2);
    EXPECT_FALSE(over.isReadyToCalc());
    EXPECT_FALSE(over.notReadyReason().isEmpty());
    EXPECT_TRUE(over.calcPayment().empty());
    cv::LoanSchedule kept = m.calcPayment();
    over.recalcPayment(kept, 0);
    EXPECT_DOUBLE_EQ(kept[0]->principal(), s[0]->principal());
    cv::LoanTerms all = m;
    all.setBonusAmount(1200000);
    EXPECT_TRUE(all.isReadyToCalc());
    for (const auto &r : all.calcPayment()) EXPECT_GE(r->principal(), 0);

    // Equal principal starts with a row of each kind on the start date.
    cv::LoanTerms ep = loan(cv::LoanTerms::EqualPrincipal, 1200000, 0.024, 12, 25);
    ep.setBonusAmount(200000);
    ep.setBonusMonths((1 << 5) | (1 << 11));
    const cv::LoanSchedule e = ep.calcPayment();
    ASSERT_GE(e.size(), 2u);
    EXPECT_EQ(e[0]->kind(), cv::LoanPaymentKind::Regular);
    EXPECT_EQ(e[1]->kind(), cv::LoanPaymentKind::Bonus);
    EXPECT_EQ(e[1]->date(), QDate(2009, 4, 10));
    expectSound(e, 1200000);
}

TEST(LoanTermsTest, TermsAndArchive)
{
    cv::LoanTerms m;
    EXPECT_EQ(m.dueDay(), 1);
    EXPECT_FALSE(m.payments());
    m.setInAccount(5);
    m.setOutCategory(33);
    EXPECT_EQ(m.inAccount(), 0);
    m.setInAccount(5);
    EXPECT_EQ(m.outCategory(), 0);
    EXPECT_TRUE(m.setRepaymentFlags(16));
    EXPECT_TRUE(m.setRepaymentFlags(32 | 4));
    EXPECT_FALSE(m.setRepaymentFlags(48));
    EXPECT_EQ(m.repaymentFlags(), 36);

    m.setDate(QDate(2009, 4, 10));
    m.setInitialValue(1200000);
    m.setMemo(QStringLiteral("家"));
    m.setLoanType(1);
    m.setDueDay(31);
    m.setRate(0.0125);
    m.setTimes(420);
    m.setRepaymentAccount(1002);
    m.setBonusMonths(2080);
    m.setBonusAmount(300000);
    m.setFraction(2);
    m.setUnit(10);
    cv::registerModelArchiveClasses();
    auto back = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::LoanTerms>(
        cv::KeyedArchiver::archivedDataWithRootObject(std::make_shared<cv::LoanTerms>(m)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->date(), m.date());
    EXPECT_EQ(back->memo(), m.memo());
    EXPECT_EQ(back->loanType(), 1);
    EXPECT_EQ(back->dueDay(), 31);
    EXPECT_DOUBLE_EQ(back->rate(), 0.0125);
    EXPECT_EQ(back->times(), 420);
    EXPECT_EQ(back->repaymentFlags(), 36);
    EXPECT_EQ(back->inAccount(), 5);
    EXPECT_EQ(back->repaymentAccount(), 1002);
    EXPECT_EQ(back->bonusMonths(), 2080);
    EXPECT_DOUBLE_EQ(back->bonusAmount(), 300000);
    EXPECT_EQ(back->dataFlags(), 0);
    EXPECT_EQ(back->fraction(), 0); // set by the sheet, not stored
    EXPECT_EQ(back->unit(), 0);

    // Keys are read through the setters in order: a stored category wins, and
    // a missing due day reads as 0.
    auto raw = readRaw<cv::LoanTerms>(QStringLiteral("CV4LoanModel"), [](cv::KeyedArchiver &c) {
        c.encodeInt(QStringLiteral("inAcc"), 5);
        c.encodeInt(QStringLiteral("outCat"), 33);
        c.encodeInt(QStringLiteral("dataFlag"), 1);
    });
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->inAccount(), 0);
    EXPECT_EQ(raw->outCategory(), 33);
    EXPECT_EQ(raw->dataFlags(), 1);
    EXPECT_EQ(raw->dueDay(), 0);
    EXPECT_TRUE(raw->calcPayment().empty());

    auto lump = readRaw<cv::LoanLump>(QStringLiteral("CV4LoanLump"), [](cv::KeyedArchiver &c) {
        c.encodeInt(QStringLiteral("time"), 3);
        c.encodeDouble(QStringLiteral("value"), 2.5);
    });
    ASSERT_TRUE(lump);
    EXPECT_EQ(lump->time(), 3);
    EXPECT_DOUBLE_EQ(lump->value(), 2.5);
}

TEST(LoanTermsTest, PaymentArchive)
{
    cv::registerModelArchiveClasses();
    cv::LoanSchedule rows = loan(0, 1200000, 0.12, 2, 25).calcPayment();
    rows.push_back(std::make_shared<cv::LoanPayment>()); // no date
    const QByteArray data = cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(rows));
    auto value = cv::KeyedUnarchiver::unarchiveObjectWithData(data);
    ASSERT_TRUE(value && value->array());
    const cv::ArchiveArray &a = *value->array();
    ASSERT_EQ(a.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        auto p = a[i].objectAs<cv::LoanPayment>();
        ASSERT_TRUE(p);
        EXPECT_EQ(p->date(), rows[i]->date());
        EXPECT_DOUBLE_EQ(p->interest(), rows[i]->interest());
        EXPECT_DOUBLE_EQ(p->principal(), rows[i]->principal());
        EXPECT_DOUBLE_EQ(p->rest(), rows[i]->rest());
        EXPECT_DOUBLE_EQ(p->rate(), 0.12);
    }
    EXPECT_FALSE(a[2].objectAs<cv::LoanPayment>()->date().isValid());

    // Midnight in Japan (15:00 UTC the day before), or a few hours off it, is that day.
    const double midnightUtc = cv::dates::dayNumber(QDate(2009, 4, 27)) * 86400.0;
    for (double seconds : {midnightUtc - 9 * 3600, midnightUtc, midnightUtc - 14 * 3600}) {
        auto p = readRaw<cv::LoanPayment>(QStringLiteral("CV4LoanPayment"), [seconds](cv::KeyedArchiver &c) {
            c.encodeInt(QStringLiteral("kind"), 4);
            c.encodeObject(QStringLiteral("date"), cv::ArchiveDate{seconds});
            c.encodeDouble(QStringLiteral("principal"), 1000);
        });
        ASSERT_TRUE(p);
        EXPECT_EQ(p->date(), QDate(2009, 4, 27));
        EXPECT_EQ(p->kind(), 4);
    }

    // A date of another type, or one past any calendar, is unreadable or no date.
    EXPECT_FALSE(readRaw<cv::LoanPayment>(QStringLiteral("CV4LoanPayment"), [](cv::KeyedArchiver &c) {
        c.encodeObject(QStringLiteral("date"), QStringLiteral("2009-04-27"));
    }));
    auto far = readRaw<cv::LoanPayment>(QStringLiteral("CV4LoanPayment"), [](cv::KeyedArchiver &c) {
        c.encodeObject(QStringLiteral("date"), cv::ArchiveDate{1e300});
    });
    ASSERT_TRUE(far);
    EXPECT_FALSE(far->date().isValid());
}

TEST(LoanTermsTest, AbsurdTermCountStaysBounded)
{
    // A repayment count typed or stored far beyond any loan must neither
    // exhaust memory nor hang; the schedule still repays what was borrowed.
    for (int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        const cv::LoanSchedule s = loan(type, 1200000, 0.01, std::numeric_limits<int>::max(), 25).calcPayment();
        ASSERT_FALSE(s.empty());
        EXPECT_LE(s.size(), 20000u);
        expectSound(s, 1200000);
    }
}
