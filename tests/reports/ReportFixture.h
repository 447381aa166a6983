#pragma once
// Fixture F: the small yen book every report test reads, built once through
// the document's write path; and helpers that run a report kind over it and
// read the rows and the drawn pages.
//
// Assets: Wallet 10 (opening 10,000), Bank A 1000 (100,000), Broker 1002
// (investment: cash part and holding 1003 of Alpha, 100 units opened
// 2008-01-10). Debt: Card 1001. Income: Salary 1010, 31. Expense: Living 1020
// (Food 1021, Daily 1022), Rent 1023, 30, 32, 33. Entries in April and May
// 2008, three trades in May, two prices of Alpha, monthly budgets from
// January 2008. Every node ticked, no groupings, fiscal start day 1.

#include "document/Book.h"
#include "platform/print/PageSetup.h"
#include "platform/print/RecordingCanvas.h"
#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include "platform/Localization.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// Requests are written with designated initializers: the fields left out keep
// their defaults, which GCC would otherwise warn of at every one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace reportfixture {

inline constexpr int kWallet = 10;
inline constexpr int kBank = 1000;
inline constexpr int kCard = 1001;
inline constexpr int kBroker = 1002;
inline constexpr int kHolding = 1003;
inline constexpr int kAlpha = 1;
inline constexpr int kSalary = 1010;
inline constexpr int kIncomeMisc = 31;
inline constexpr int kLiving = 1020;
inline constexpr int kFood = 1021;
inline constexpr int kDaily = 1022;
inline constexpr int kRent = 1023;
inline constexpr int kExpenseMisc = 30;

// May 2008 and April 2008.
inline const QDate kP1(2008, 5, 1), kP2(2008, 5, 31);
inline const QDate kQ1(2008, 4, 1), kQ2(2008, 4, 30);

// A new book holding Fixture F, marked as saved; null when a write failed.
std::unique_ptr<cv::Book> makeFixtureF();

// A4 portrait, margins 36 points all round (595 x 842 paper).
cv::PageSetup a4(int orientation = cv::PageSetup::Portrait);

// The account or category of the ident (the fixture's idents are unique across the trees).
cv::NodePtr findNode(cv::Book &doc, int ident);
// Sets every node of the four trees to the check mark.
void tickAll(cv::Book &doc, int status);
// Clears every check mark, then ticks the nodes of the idents (accounts or categories).
void tickOnly(cv::Book &doc, const std::vector<int> &idents);

// The kind's report for the request, on A4.
std::unique_ptr<cv::Report> makeReport(cv::Book &doc, const cv::ReportRequest &request);
// Draws one page (from 1) on a fresh recording canvas with a fixed date in the head.
cv::RecordingCanvas drawPage(cv::Report &view, int page);
// The texts of the page's lines whose top lies at y (within 0.5 point), left to right.
QStringList lineAt(const cv::RecordingCanvas &canvas, double y);
// Every line of a page as its texts joined by " | ", top to bottom.
QStringList pageLines(const cv::RecordingCanvas &canvas);

// A test over a fresh Fixture F, its texts in English.
class FixtureFTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        doc = makeFixtureF();
        ASSERT_TRUE(doc);
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    // The request's report; a period left empty is May (April against May for the term comparison).
    std::unique_ptr<cv::Report> report(cv::ReportRequest request)
    {
        constexpr int termComparison = 6;
        if (!request.from.isValid()) request.from = request.kind == termComparison ? kQ1 : kP1;
        if (!request.to.isValid()) request.to = request.kind == termComparison ? kQ2 : kP2;
        if (!request.from2.isValid()) request.from2 = kP1, request.to2 = kP2;
        return makeReport(*doc, request);
    }
    // Stored as the entry sheet stores a new entry.
    void addEntry(cv::EntryKind kind, const QDate &date, double amount, int category, int account,
                  const QString &memo = {}, int destination = 0, int group = 0);
    // A category under the parent, stored with its tree.
    cv::NodePtr addCategory(const cv::NodePtr &parent, int ident, const QString &name);
    // A bank account of the currency, opened on the day with the value.
    cv::NodePtr addAccount(int ident, const QString &name, int currency, const QDate &opened = {2008, 1, 1},
                           double value = 0);
    // A holding of the security in Broker, opened on the day.
    void addHolding(int ident, int security, const QDate &opened, double units, double price, double commission);
    // A stock (or bond) of the book; its ident.
    int addStock(const QString &name, cv::SecurityKind kind = cv::SecurityKind::Stock);
    // Ticks the securities of the idents only, as the sheet's outline does.
    void tickSecurities(std::initializer_list<int> idents)
    {
        for (const auto &security : doc->securityList())
            security->setOutlineState(std::find(idents.begin(), idents.end(), security->ident()) != idents.end());
    }

    std::unique_ptr<cv::Book> doc;
};

// A trade committed the way the trade panel commits a new row (`to`: the
// receiving account of units moved).
void enter(cv::Book &doc, int account, int security, cv::TradeKind kind, const QDate &date, double count, double price,
           double commission = 0, int to = 0);

// Lines as one text, readable in a failure message.
inline std::string text(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

} // namespace reportfixture
