#pragma once
// One step of a category's budget: the monthly budget from `key` (budget
// month key) until the next step.

#include "platform/KeyedArchiver.h"

#include <memory>

class CV4BudgetElement : public cv::KeyedArchivable {
public:
    CV4BudgetElement() = default;
    CV4BudgetElement(int key, double value) : key_(key), value_(value) {}

    int key() const { return key_; }
    void setKey(int key) { key_ = key; }
    double value() const { return value_; }
    void setValue(double value) { value_ = value; }

    int compareKey(const CV4BudgetElement &other) const { return key_ < other.key_ ? -1 : key_ > other.key_ ? 1 : 0; }
    QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4BudgetElement"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int key_ = 0;
    double value_ = 0;
};

using CV4BudgetElementPtr = std::shared_ptr<CV4BudgetElement>;
