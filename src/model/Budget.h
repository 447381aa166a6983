#pragma once
// A category's budget: a step function over budget month keys. Each step
// holds from its month until the next step; before the first step the budget is 0.

#include "model/BudgetElement.h"

#include <QDate>

#include <memory>
#include <vector>

namespace cv {

class Budget;
using BudgetPtr = std::shared_ptr<Budget>;

class Budget : public cv::KeyedArchivable {
public:
    double budgetAtKey(int key) const;
    // Months past 12 fall in the following years.
    double budgetAt(int year, int month) const;
    double budgetAtDate(const QDate &date) const;
    // Sum over `months` months from the date's month.
    double budgetAtDate(const QDate &date, int months) const;

    // Sets one month and leaves every other month as it was.
    void setBudgetAt(int year, int month, double value);
    // Sets the budget from that month on, dropping every later step.
    void setBudgetAfter(int year, int month, double value);
    // Drops steps that repeat the value before them.
    void pack();
    void clear() { m_storage.clear(); }

    // Step `index` as year, month and value; false past the end. Keys before
    // 2000 divide truncating (key -1 gives year 2000, month 0), which
    // budgetAt()/setBudgetAfter() turn back into the same key.
    bool indexedBudgetAt(int index, int &year, int &month, double &value) const;
    BudgetPtr clone() const;

    const std::vector<BudgetElementPtr> &storage() const { return m_storage; }
    void setStorage(std::vector<BudgetElementPtr> storage);

    QString archiveClassName() const override { return QStringLiteral("CV4Budget"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int findIndex(int key) const;
    void setBudgetPrivate(int key, double value);

    std::vector<BudgetElementPtr> m_storage;
};

} // namespace cv
