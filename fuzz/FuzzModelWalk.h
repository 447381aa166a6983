#pragma once
// Uses a decoded model value the way a document does right after reading it:
// walks every tree, asks the questions opening asks, copies and compares, and
// archives it again. Decoded-but-inconsistent objects then fail here, inside
// the fuzzer, rather than in some later window.

#include "model/AccountTrees.h"
#include "model/Security.h"
#include "model/Budget.h"
#include "model/CategoryTrees.h"
#include "model/LoanTerms.h"
#include "model/LoanPayment.h"
#include "model/Settings.h"
#include "model/Node.h"
#include "platform/KeyedArchiver.h"

#include <QDate>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace fuzzwalk {

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "inconsistent decoded model: %s\n", what);
    std::abort();
}

inline void walkTree(const cv::Node &node, std::set<const cv::Node *> &seen)
{
    if (!seen.insert(&node).second) fail("a node is reached twice");
    for (const auto &child : node.children()) {
        if (!child) fail("a null child");
        if (child->parent() != &node) fail("a child does not know its parent");
        walkTree(*child, seen);
    }
    (void)node.description();
    (void)node.assetInitialValue();
    (void)node.assetInitialDate();
    (void)node.validAtDate(QDate(2008, 3, 5));
    (void)node.isAsset();
    (void)node.isDebt();
}

inline void exerciseTree(const cv::NodePtr &root)
{
    if (!root) return;
    std::set<const cv::Node *> seen;
    walkTree(*root, seen);
    (void)root->enumerateCategories();
    (void)root->greatestIdent(999);
    (void)root->deepStatus();
    (void)root->sumMembersAndGroups(true);
    (void)root->budgetAtDate(QDate(2008, 3, 5), 12);
    (void)root->findMemberWithIdent(10);
    (void)root->findMemberWithName(QStringLiteral("x"));
    const cv::NodePtr copy = root->deepCopy();
    // Nodes are equal by ident, and only nodes with one.
    if (!copy || (root->ident() > 0 && !copy->isEqual(*root))) fail("a deep copy differs from its tree");
    if (copy->countChild() != root->countChild()) fail("a deep copy lost children");
    copy->fixDefaultCurrency(1);
}

// Every archivable object reachable from the value, each once.
inline void exerciseValue(const cv::ArchiveValue &value, std::set<const void *> &seen, int depth = 0)
{
    if (depth > 64) return;
    if (const cv::ArchiveArray *array = value.array()) {
        if (!seen.insert(array).second) return;
        for (const auto &item : *array) exerciseValue(item, seen, depth + 1);
        return;
    }
    if (const cv::ArchiveDictionary *dict = value.dictionary()) {
        if (!seen.insert(dict).second) return;
        for (const auto &[key, item] : *dict) {
            exerciseValue(key, seen, depth + 1);
            exerciseValue(item, seen, depth + 1);
        }
        return;
    }
    const cv::ArchivablePtr object = value.object();
    if (!object || !seen.insert(object.get()).second) return;
    if (auto node = std::dynamic_pointer_cast<cv::Node>(object)) {
        // Only whole trees: a node is walked from its root.
        cv::Node *top = node.get();
        while (top->parent()) {
            top = top->parent();
            if (top == node.get()) fail("a parent chain loops");
        }
        if (top == node.get()) exerciseTree(node);
        if (node->extra()) exerciseValue(cv::ArchiveValue(node->extra()), seen, depth + 1);
    } else if (auto accounts = std::dynamic_pointer_cast<cv::AccountTrees>(object)) {
        for (const auto &root : {accounts->asset(), accounts->debt(), accounts->summary()}) exerciseTree(root);
        (void)accounts->uniqueId();
    } else if (auto categories = std::dynamic_pointer_cast<cv::CategoryTrees>(object)) {
        for (const auto &root :
             {categories->moneyFlow(), categories->income(), categories->expense(), categories->summary()}) {
            exerciseTree(root);
            if (root) (void)categories->isIncomeOrExpense(root.get());
        }
        (void)categories->uniqueId();
    } else if (auto loan = std::dynamic_pointer_cast<cv::LoanTerms>(object)) {
        (void)loan->description();
        (void)loan->firstDueDate();
    } else if (auto security = std::dynamic_pointer_cast<cv::Security>(object)) {
        (void)security->description();
        (void)security->kindName();
        (void)security->riskDescription();
    } else if (auto budget = std::dynamic_pointer_cast<cv::Budget>(object)) {
        (void)budget->budgetAtDate(QDate(2008, 3, 5), 12);
        if (auto copy = budget->clone()) copy->pack();
    } else if (auto settings = std::dynamic_pointer_cast<cv::Settings>(object)) {
        // Opening a protected book checks the typed password first.
        if (settings->hasPassword()) (void)settings->verifyPassword(QStringLiteral("password"));
    }
}

// Walks the value and archives it again; what was read must archive into
// something readable.
inline void exercise(const cv::ArchiveValue &value)
{
    std::set<const void *> seen;
    exerciseValue(value, seen);
    const QByteArray again = cv::KeyedArchiver::archivedDataWithRootObject(value);
    if (again.isEmpty() || !cv::KeyedUnarchiver::unarchiveObjectWithData(again))
        fail("it did not survive archiving again");
}

} // namespace fuzzwalk
