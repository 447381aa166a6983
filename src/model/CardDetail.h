#pragma once
// Details of a credit card (kind 40).

#include "model/AccountDetail.h"

namespace cv {

class CardDetail : public AccountDetail {
public:
    QString name() const { return m_name; } // card name
    void setName(const QString &name) { m_name = name; }
    QString telephone() const { return m_telephone; }
    void setTelephone(const QString &telephone) { m_telephone = telephone; }
    double limit() const { return m_limit; }
    void setLimit(double limit) { m_limit = limit; }
    int dueDay() const { return m_dueDay; } // day of month of payment
    void setDueDay(int day) { m_dueDay = day; }
    int cutoffDay() const { return m_cutoffDay; } // day of month of the statement cut-off
    void setCutoffDay(int day) { m_cutoffDay = day; }

    QString description() const override;

    QString archiveClassName() const override { return QStringLiteral("CV4CreditCardModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString m_name;
    QString m_telephone;
    double m_limit = 0;
    int m_dueDay = 0;
    int m_cutoffDay = 0;
};

using CardDetailPtr = std::shared_ptr<CardDetail>;

} // namespace cv
