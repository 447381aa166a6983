#pragma once
// One step of a category's budget: the monthly budget from `key` (budget
// month key) until the next step.

#include "platform/KeyedArchiver.h"

#include <memory>

namespace cv {

class BudgetElement : public cv::KeyedArchivable {
public:
    BudgetElement() = default;
    BudgetElement(int key, double value) : m_key(key), m_value(value) {}

    int key() const { return m_key; }
    void setKey(int key) { m_key = key; }
    double value() const { return m_value; }
    void setValue(double value) { m_value = value; }

    int compareKey(const BudgetElement &other) const { return m_key < other.m_key ? -1 : m_key > other.m_key ? 1 : 0; }
    QString description() const;

    QString archiveClassName() const override { return QStringLiteral("CV4BudgetElement"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_key = 0;
    double m_value = 0;
};

using BudgetElementPtr = std::shared_ptr<BudgetElement>;

} // namespace cv
