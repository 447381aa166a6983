#include "model/Budget.h"

#include "platform/DateIntegers.h"

#include <algorithm>

namespace cv {

namespace {

// Packs a list of steps: a step equal to the one before it adds nothing, and
// neither does a leading step of 0, since the budget before the first step is 0.
std::vector<BudgetElementPtr> packed(std::vector<BudgetElementPtr> steps)
{
    for (size_t i = steps.size(); i-- > 1;)
        if (steps[i]->value() == steps[i - 1]->value()) steps.erase(steps.begin() + std::ptrdiff_t(i));
    if (!steps.empty() && steps.front()->value() == 0) steps.erase(steps.begin());
    return steps;
}

} // namespace

int Budget::findIndex(int key) const
{
    const auto it = std::upper_bound(m_storage.begin(), m_storage.end(), key,
                                     [](int k, const BudgetElementPtr &e) { return k < e->key(); });
    return int(it - m_storage.begin()) - 1;
}

double Budget::budgetAtKey(int key) const
{
    const int i = findIndex(key);
    return i >= 0 ? m_storage[size_t(i)]->value() : 0;
}

double Budget::budgetAt(int year, int month) const
{
    return budgetAtKey(cv::dates::budgetMonthKey(year, month));
}

double Budget::budgetAtDate(const QDate &date) const
{
    return budgetAtKey(cv::dates::budgetMonthKey(date));
}

double Budget::budgetAtDate(const QDate &date, int months) const
{
    const int first = cv::dates::budgetMonthKey(date);
    double total = 0;
    for (int k = 0; k < months; ++k) total += budgetAtKey(first + k);
    return total;
}

void Budget::setBudgetPrivate(int key, double value)
{
    const int i = findIndex(key);
    if (i < 0) {
        m_storage.insert(m_storage.begin(), std::make_shared<BudgetElement>(key, value));
        return;
    }
    BudgetElement &e = *m_storage[size_t(i)];
    if (e.value() == value) return;
    if (e.key() < key) {
        m_storage.insert(m_storage.begin() + i + 1, std::make_shared<BudgetElement>(key, value));
        return;
    }
    if (i > 0 && m_storage[size_t(i) - 1]->value() == value) {
        // The month now continues the step before it; its old value moves on a month.
        if (size_t(i) + 1 < m_storage.size() && m_storage[size_t(i) + 1]->key() == key + 1)
            m_storage.erase(m_storage.begin() + i);
        else
            e.setKey(key + 1);
        return;
    }
    e.setValue(value);
}

void Budget::setBudgetAt(int year, int month, double value)
{
    const int key = cv::dates::budgetMonthKey(year, month);
    if (budgetAtKey(key) == value) return;
    const double next = budgetAtKey(key + 1);
    setBudgetPrivate(key, value);
    setBudgetPrivate(key + 1, next);
    pack();
}

void Budget::setBudgetAfter(int year, int month, double value)
{
    const int key = cv::dates::budgetMonthKey(year, month);
    setBudgetPrivate(key, value);
    const int i = findIndex(key);
    m_storage.erase(m_storage.begin() + (i + 1), m_storage.end());
}

void Budget::pack()
{
    m_storage = packed(std::move(m_storage));
}

bool Budget::indexedBudgetAt(int index, int &year, int &month, double &value) const
{
    if (index < 0 || size_t(index) >= m_storage.size()) return false;
    const BudgetElement &e = *m_storage[size_t(index)];
    year = cv::dates::budgetKeyYear(e.key());
    month = cv::dates::budgetKeyMonth(e.key());
    value = e.value();
    return true;
}

BudgetPtr Budget::clone() const
{
    auto copy = std::make_shared<Budget>();
    copy->m_storage.reserve(m_storage.size());
    for (const auto &e : m_storage) copy->m_storage.push_back(std::make_shared<BudgetElement>(*e));
    return copy;
}

void Budget::setStorage(std::vector<BudgetElementPtr> storage)
{
    // Lookups rely on ascending keys, one step per key; repair a list that
    // breaks this rather than answer wrong budgets. Of equal keys the last wins.
    std::erase(storage, nullptr);
    std::stable_sort(storage.begin(), storage.end(),
                     [](const BudgetElementPtr &a, const BudgetElementPtr &b) { return a->key() < b->key(); });
    std::vector<BudgetElementPtr> steps;
    steps.reserve(storage.size());
    for (auto &e : storage) {
        if (!steps.empty() && steps.back()->key() == e->key())
            steps.back() = std::move(e);
        else
            steps.push_back(std::move(e));
    }
    m_storage = std::move(steps);
}

void Budget::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    const auto steps = packed(m_storage);
    if (!steps.empty()) coder.encodeObject(QStringLiteral("storage"), cv::ArchiveValue::arrayOf(steps));
}

bool Budget::initWithCoder(cv::KeyedUnarchiver &coder)
{
    auto steps = coder.decodeArrayOfClassForKey<BudgetElement>(QStringLiteral("storage"));
    setStorage(steps ? std::move(*steps) : std::vector<BudgetElementPtr>());
    return !coder.failed();
}

} // namespace cv
