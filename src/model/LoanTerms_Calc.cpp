// The repayment schedule of a loan: due dates, and interest and principal of
// every row from the loan's terms.
#include "model/LoanTerms.h"

#include "model/JapaneseHoliday.h"
#include "platform/Localization.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace cv {

namespace {

// Balances are kept in whole cents so that a long schedule never drifts by
// binary fractions and the last row pays exactly what is left.
using Cents = qint64;
constexpr double kMaxUnits = 1.0e15;
// A thousand years of monthly payments: a count beyond it is a typing slip or
// a damaged file, and would otherwise exhaust memory.
constexpr int kMaxDueDates = 12000;

Cents toCents(double units)
{
    if (!std::isfinite(units) || std::fabs(units) > kMaxUnits) return 0;
    return std::llround(units * 100);
}

double toUnits(Cents cents)
{
    return double(cents) / 100;
}

// Toward zero, on the decimal digits (999.9599999999999 is 999.96).
double truncateTo(double units, int digits)
{
    if (!std::isfinite(units) || std::fabs(units) > kMaxUnits) return 0;
    const double t = cv::roundDown(std::fabs(units), digits);
    return units < 0 ? -t : t;
}

// An amount rounded the way the loan's currency is shown.
Cents money(double units, int fraction)
{
    return toCents(truncateTo(units, fraction != 0 ? 2 : 0));
}

// The level payment; a zero rate (or one the formula cannot take) spreads
// the balance evenly.
double annuity(Cents balance, double periodRate, int periods)
{
    const double b = toUnits(balance);
    if (periods <= 0) return b;
    if (periodRate != 0) {
        const double f = std::pow(1 + periodRate, periods);
        const double x = b * periodRate * f / (f - 1);
        if (std::isfinite(x)) return x;
    }
    return b / periods;
}

// Equal-principal level amount: whole units, or whole thousands for a
// currency without fractions. No divisor leaves everything to the last row.
Cents levelPrincipal(Cents balance, int divisor, int fraction)
{
    if (divisor <= 0) return 0;
    const double q = toUnits(balance) / divisor;
    if (fraction != 0) return toCents(truncateTo(q, 0));
    return toCents(truncateTo(q / 1000, 0) * 1000);
}

bool isBonusMonth(int bonusMonths, int month)
{
    return (bonusMonths >> (month - 1)) & 1;
}

} // namespace

QDate LoanTerms::nextDate(const QDate &date, int monthOffset, int day)
{
    if (!date.isValid()) return {};
    const QDate first = QDate(date.year(), date.month(), 1).addMonths(monthOffset);
    return QDate(first.year(), first.month(), std::clamp(day, 1, first.daysInMonth()));
}

QDate LoanTerms::firstDueDate() const
{
    const QDate start = date();
    if (!start.isValid()) return {};
    const int offset = (m_dueDay < start.day() || (m_repaymentFlags & FirstDueNextMonth)) ? 1 : 0;
    return nextDate(start, offset, m_dueDay);
}

std::vector<QDate> LoanTerms::dueDates() const
{
    std::vector<QDate> dates;
    QDate due = firstDueDate();
    if (!due.isValid() || m_times <= 0) return dates;
    const int count = std::min(m_times, kMaxDueDates);
    dates.reserve(size_t(count));
    for (int n = 0; n < count && due.isValid(); ++n) {
        dates.push_back(due);
        due = nextDate(due, 1, m_dueDay);
    }
    return dates;
}

double LoanTerms::bonusPart() const
{
    if (!(m_bonusAmount > 0)) return 0;
    // A bonus part that no bonus row would repay stays with the regular rows.
    return dueDatesCarrying(cv::LoanPaymentKind::Bonus) > 0 ? m_bonusAmount : 0;
}

int LoanTerms::dueDatesCarrying(cv::LoanPaymentKind kind) const
{
    if (kind == cv::LoanPaymentKind::Regular) return initialValue() > 0 ? int(dueDates().size()) : 0;
    if (!(m_bonusAmount > 0)) return 0;
    const auto dates = dueDates();
    return int(std::count_if(dates.begin(), dates.end(),
                             [this](const QDate &d) { return isBonusMonth(m_bonusMonths, d.month()); }));
}

QString LoanTerms::notReadyReason() const
{
    // More repaid by bonus rows than was borrowed would make the regular rows
    // pay back a negative amount.
    if (toCents(m_bonusAmount) > toCents(initialValue()))
        return cv::localizedString(QStringLiteral("Loan-Bonus-Exceeds-Amount"));
    return {};
}

LoanSchedule LoanTerms::generateArray() const
{
    LoanSchedule rows;
    if (!date().isValid()) return rows;
    const bool regular = initialValue() > 0;
    const bool bonus = bonusPart() > 0;
    const auto add = [&](cv::LoanPaymentKind kind, const QDate &day) {
        auto row = std::make_shared<LoanPayment>();
        row->setKind(kind);
        row->setDate(day);
        row->setRate(m_rate);
        row->setAccount(m_repaymentAccount);
        rows.push_back(std::move(row));
    };
    if (m_loanType == EqualPrincipal && !(m_repaymentFlags & InterestInArrears)) {
        if (regular) add(cv::LoanPaymentKind::Regular, date());
        if (bonus) add(cv::LoanPaymentKind::Bonus, date());
    }
    for (const QDate &due : dueDates()) {
        QDate day = due;
        if (!(m_repaymentFlags & HolidayNoMove)) {
            day = GetBusinessDate(due, (m_repaymentFlags & HolidayToPrevious) ? -1 : 1);
            // Nothing is due before the money is lent: the next business day instead.
            if (day < date()) day = GetBusinessDate(due, 1);
        }
        if (regular) add(cv::LoanPaymentKind::Regular, day);
        if (bonus && isBonusMonth(m_bonusMonths, due.month())) add(cv::LoanPaymentKind::Bonus, day);
    }
    return rows;
}

void LoanTerms::calcArrayData(LoanSchedule &rows, cv::LoanPaymentKind k, int recalcIndex) const
{
    std::erase(rows, nullptr);
    if ((k != cv::LoanPaymentKind::Regular && k != cv::LoanPaymentKind::Bonus) || !isReadyToCalc()) return;
    const int n = int(std::count_if(rows.begin(), rows.end(), [k](const auto &r) { return r->kind() == k; }));
    if (n == 0) return;

    const int flags = m_repaymentFlags;
    const bool inArrears = flags & InterestInArrears;
    const bool noAdjustment = flags & NoFirstRowAdjustment;
    const bool interestInAdvance = m_loanType == EqualPrincipal && !inArrears;
    const size_t firstWritten = size_t(std::max(recalcIndex, 0));
    const double bonus = bonusPart();
    Cents balance = k == cv::LoanPaymentKind::Regular ? toCents(initialValue()) - toCents(bonus) : toCents(bonus);
    const int periods = k == cv::LoanPaymentKind::Regular ? 12 : 2;
    const int dueCount = dueDatesCarrying(k);

    Cents payment = 0;   // annuity: principal plus interest
    Cents principal = 0; // equal principal and flat: the level principal
    Cents flatInterest = 0;
    switch (m_loanType) {
    case Annuity: payment = money(annuity(balance, m_rate / periods, dueCount), m_fraction); break;
    case EqualPrincipal: principal = levelPrincipal(balance, inArrears ? dueCount : dueCount - 1, m_fraction); break;
    case Flat:
        principal = dueCount > 0 ? money(toUnits(balance) / dueCount, m_fraction) : 0;
        flatInterest = money(m_rate * toUnits(balance) / periods, m_fraction);
        break;
    default: break;
    }
    double currentRate = m_rate;
    // An extra repayment that lowers the payments makes the next row work the
    // payment out afresh, whatever that row's rate is.
    bool recompute = false;

    QDate previous = (flags & CountFromStartDate) ? date() : date().addDays(-1);
    int c = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        LoanPayment &row = *rows[i];
        if (row.kind() != k) {
            const bool lowers = row.kind() == cv::lowerPaymentsKindOf(k);
            if (!lowers && row.kind() != cv::shortenTermKindOf(k)) continue;
            Cents extra = toCents(row.principal());
            if (extra > balance) {
                extra = balance;
                row.setPrincipal(toUnits(extra));
            }
            balance -= extra;
            if (lowers && m_loanType == Annuity) recompute = true;
            if (lowers && m_loanType == EqualPrincipal) principal = levelPrincipal(balance, n - c, m_fraction);
            continue;
        }

        const double b = toUnits(balance);
        double q = 0;
        double p = 0;
        size_t next = rows.size();
        switch (m_loanType) {
        case Annuity: {
            if (row.rate() != currentRate || recompute) {
                currentRate = row.rate();
                payment = money(annuity(balance, currentRate / periods, n - c), m_fraction);
                recompute = false;
            }
            const Cents periodInterest = money(row.rate() * b / periods, m_fraction);
            p = toUnits(payment - periodInterest);
            q = c == 0 ? previous.daysTo(row.date()) * row.rate() * b / 365 : toUnits(periodInterest);
            break;
        }
        case EqualPrincipal:
            if (inArrears) {
                p = toUnits(c == 0 && !noAdjustment ? balance - (n - 1) * principal : principal);
                q = previous.daysTo(row.date()) * row.rate() * b / 365;
                break;
            }
            if (c == 0)
                p = 0;
            else
                p = toUnits(c == 1 && !noAdjustment ? balance - (n - 2) * principal : principal);
            {
                // Interest for the coming period, on what will then be owed.
                Cents owed = balance;
                for (next = i + 1; next < rows.size(); ++next) {
                    const auto kind = rows[next]->kind();
                    if (kind == k) break;
                    if (kind == cv::lowerPaymentsKindOf(k) || kind == cv::shortenTermKindOf(k))
                        owed -= toCents(rows[next]->principal());
                }
                if (next < rows.size()) {
                    const QDate from = c == 0 && !(flags & CountFromStartDate) ? row.date().addDays(-1) : row.date();
                    q = std::max(0.0, toUnits(owed) - p) * rows[next]->rate() / 365 * from.daysTo(rows[next]->date());
                }
            }
            break;
        case Flat:
            q = toUnits(flatInterest);
            p = toUnits(principal);
            break;
        default: break;
        }

        // Rows out of date order, or a rate below 0 from a damaged book, must
        // still never charge negative interest.
        const Cents qc = money(std::max(0.0, q), m_fraction);
        Cents pc = money(p, m_fraction);
        if (pc > balance || c + 1 == n) pc = balance;
        if ((interestInAdvance ? next : i) >= firstWritten) row.setInterest(toUnits(qc));
        if (i >= firstWritten) row.setPrincipal(toUnits(pc));

        balance -= toCents(row.principal());
        previous = row.date();
        ++c;
    }
}

void LoanTerms::optimizeArrayData(LoanSchedule &rows) const
{
    std::erase(rows, nullptr);
    while (!rows.empty() && !(rows.back()->principal() > 0) && !(rows.back()->interest() > 0)) rows.pop_back();
}

void LoanTerms::recalcPaymentRest(LoanSchedule &rows) const
{
    std::erase(rows, nullptr);
    const Cents borrowed = toCents(initialValue());
    Cents repaid = 0;
    for (const auto &row : rows) {
        repaid += toCents(row->principal());
        row->setRest(toUnits(borrowed - repaid));
    }
}

void LoanTerms::recalcPayment(LoanSchedule &rows, int recalcIndex) const
{
    if (!(m_repaymentFlags & ManualSchedule)) {
        calcArrayData(rows, cv::LoanPaymentKind::Regular, recalcIndex);
        calcArrayData(rows, cv::LoanPaymentKind::Bonus, recalcIndex);
    }
    optimizeArrayData(rows);
    recalcPaymentRest(rows);
}

LoanSchedule LoanTerms::calcPayment() const
{
    if (!isReadyToCalc()) return {};
    LoanSchedule rows = generateArray();
    calcArrayData(rows, cv::LoanPaymentKind::Regular, 0);
    calcArrayData(rows, cv::LoanPaymentKind::Bonus, 0);
    optimizeArrayData(rows);
    recalcPaymentRest(rows);
    return rows;
}

} // namespace cv
