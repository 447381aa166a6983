#pragma once
// Details of a credit card (kind 40).

#include "model/CV4AssetModel.h"

class CV4CreditCardModel : public CV4AssetModel {
public:
    QString name() const { return name_; }   // card name
    void setName(const QString &name) { name_ = name; }
    QString telephone() const { return telephone_; }
    void setTelephone(const QString &telephone) { telephone_ = telephone; }
    double limit() const { return limit_; }
    void setLimit(double limit) { limit_ = limit; }
    int dueDay() const { return dueDay_; }        // day of month of payment
    void setDueDay(int day) { dueDay_ = day; }
    int cutoffDay() const { return cutoffDay_; }  // day of month of the statement cut-off
    void setCutoffDay(int day) { cutoffDay_ = day; }

    QString description() const override;

    QString archiveClassName() const override { return QStringLiteral("CV4CreditCardModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString name_;
    QString telephone_;
    double limit_ = 0;
    int dueDay_ = 0;
    int cutoffDay_ = 0;
};

using CV4CreditCardModelPtr = std::shared_ptr<CV4CreditCardModel>;
