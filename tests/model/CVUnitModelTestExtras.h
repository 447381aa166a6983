#pragma once
// Small stand-ins for the detail records a node carries, each answering only
// some of the questions a node asks of its extra.

#include "model/CVExtraInterfaces.h"
#include "platform/KeyedArchiver.h"

namespace unitmodel_test {

// Account detail: start date and opening balance.
class AccountExtra : public cv::KeyedArchivable, public CVDatedExtra, public CVInitialValueExtra {
public:
    AccountExtra() = default;
    AccountExtra(QDate date, double value) : start(date), opening(value) {}
    QDate date() const override { return start; }
    double initialValue() const override { return opening; }
    QString archiveClassName() const override { return QStringLiteral("UnitModelTestAccountExtra"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeInt(QStringLiteral("day"), start.isValid() ? start.toJulianDay() : 0);
        coder.encodeDouble(QStringLiteral("initialValue"), opening);
    }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        const qint64 day = coder.decodeInt64ForKey(QStringLiteral("day"));
        start = day ? QDate::fromJulianDay(day) : QDate();
        opening = coder.decodeDoubleForKey(QStringLiteral("initialValue"));
        return !coder.failed();
    }
    QDate start;
    double opening = 0;
};

// Holding: the security it holds and the date it was opened.
class HoldingExtra : public cv::KeyedArchivable, public CVDatedExtra, public CVBrandExtra {
public:
    HoldingExtra() = default;
    HoldingExtra(int brandIdent, QDate date) : brandIdent(brandIdent), opened(date) {}
    QDate date() const override { return opened; }
    int brand() const override { return brandIdent; }
    QString archiveClassName() const override { return QStringLiteral("UnitModelTestHoldingExtra"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeInt(QStringLiteral("brand"), brandIdent);
        coder.encodeInt(QStringLiteral("day"), opened.isValid() ? opened.toJulianDay() : 0);
    }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        brandIdent = coder.decodeIntForKey(QStringLiteral("brand"));
        const qint64 day = coder.decodeInt64ForKey(QStringLiteral("day"));
        opened = day ? QDate::fromJulianDay(day) : QDate();
        return !coder.failed();
    }
    int brandIdent = 0;
    QDate opened;
};

// A record with neither date nor opening balance (a budget, a summary).
class PlainExtra : public cv::KeyedArchivable {
public:
    PlainExtra() = default;
    explicit PlainExtra(double v) : value(v) {}
    QString archiveClassName() const override { return QStringLiteral("UnitModelTestPlainExtra"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override { coder.encodeDouble(QStringLiteral("value"), value); }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        value = coder.decodeDoubleForKey(QStringLiteral("value"));
        return !coder.failed();
    }
    double value = 0;
};

inline void registerTestExtras()
{
    cv::registerArchivable<AccountExtra>(QStringLiteral("UnitModelTestAccountExtra"));
    cv::registerArchivable<HoldingExtra>(QStringLiteral("UnitModelTestHoldingExtra"));
    cv::registerArchivable<PlainExtra>(QStringLiteral("UnitModelTestPlainExtra"));
}

} // namespace unitmodel_test
