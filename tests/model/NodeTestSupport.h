#pragma once
// Node builders and small stand-ins for the detail records a node carries.

#include "model/ExtraInterfaces.h"
#include "model/Node.h"
#include "platform/KeyedArchiver.h"

namespace unitmodel_test {

inline cv::NodePtr node(int ident, int kind, const QString &name = QString())
{
    auto n = std::make_shared<cv::Node>();
    n->setIdent(ident);
    n->setKind(cv::NodeKind(kind));
    n->setName(name);
    return n;
}

inline cv::NodePtr add(const cv::NodePtr &parent, int ident, int kind, const QString &name = QString())
{
    auto n = node(ident, kind, name);
    parent->appendChild(n);
    return n;
}

// An account detail or holding: start date, opening balance, security.
class SampleDatedExtra : public cv::KeyedArchivable,
                         public cv::DatedExtra,
                         public cv::InitialValueExtra,
                         public cv::SecurityExtra {
public:
    SampleDatedExtra() = default;
    SampleDatedExtra(QDate d, double value, int securityIdent = 0)
        : start(d), opening(value), securityIdent(securityIdent)
    {
    }
    QDate date() const override { return start; }
    double initialValue() const override { return opening; }
    int security() const override { return securityIdent; }
    QString archiveClassName() const override { return QStringLiteral("UnitModelTestDatedExtra"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeInt(QStringLiteral("day"), start.isValid() ? start.toJulianDay() : 0);
        coder.encodeDouble(QStringLiteral("initialValue"), opening);
        coder.encodeInt(QStringLiteral("brand"), securityIdent);
    }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        const qint64 day = coder.decodeInt64ForKey(QStringLiteral("day"));
        start = day ? QDate::fromJulianDay(day) : QDate();
        opening = coder.decodeDoubleForKey(QStringLiteral("initialValue"));
        securityIdent = coder.decodeIntForKey(QStringLiteral("brand"));
        return !coder.failed();
    }
    bool operator==(const SampleDatedExtra &o) const
    {
        return start == o.start && opening == o.opening && securityIdent == o.securityIdent;
    }
    QDate start;
    double opening = 0;
    int securityIdent = 0;
};

// A record with neither date nor opening balance (a budget, a summary).
class PlainExtra : public cv::KeyedArchivable {
public:
    PlainExtra() = default;
    explicit PlainExtra(double v) : value(v) {}
    QString archiveClassName() const override { return QStringLiteral("UnitModelTestPlainExtra"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeDouble(QStringLiteral("value"), value);
    }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        value = coder.decodeDoubleForKey(QStringLiteral("value"));
        return !coder.failed();
    }
    double value = 0;
};

inline void registerTestExtras()
{
    cv::registerArchivable<SampleDatedExtra>(QStringLiteral("UnitModelTestDatedExtra"));
    cv::registerArchivable<PlainExtra>(QStringLiteral("UnitModelTestPlainExtra"));
}

} // namespace unitmodel_test
