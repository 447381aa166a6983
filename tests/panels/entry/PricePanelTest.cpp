// The price and rate lists: what they show, what OK writes (removals before
// puts), the return codes, and that nothing of the sheet outlives it.
#include "panels/PanelTestSupport.h"

#include "document/store/SQLDatabase3.h"
#include "panels/entry/PricePanel.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

using Panel = cv::PricePanel;

const QDate kTop(2009, 3, 1);

cv::SecurityPtr addSecurity(cv::Book &doc, cv::SecurityKind kind, int currency)
{
    auto security = std::make_shared<cv::Security>();
    security->setName(QStringLiteral("B"));
    security->setKind(kind);
    security->setCurrency(currency);
    doc.addSecurity(security);
    doc.commitSecurityList();
    return security;
}

void putPrice(cv::Book &doc, int ident, const QDate &date, double value, bool rate = false)
{
    ASSERT_TRUE(rate ? doc.putRate(samplebook::priceTime(ident, date, value))
                     : doc.putPrice(samplebook::priceTime(ident, date, value)));
}

// (day, value) of every stored record, in date order.
std::vector<std::pair<int, double>> stored(cv::Book &doc, int ident, bool rate = false)
{
    const auto list = rate ? doc.store()->getRateListForCurrency(ident) : doc.store()->getPriceListForSecurity(ident);
    std::vector<std::pair<int, double>> out;
    if (list)
        for (const auto &p : *list) out.emplace_back(p->date().day(), p->price());
    return out;
}

int rowOfDay(const Panel &panel, int day)
{
    for (int row = 0; row < panel.numberOfRows(panel.tableView()); ++row)
        if (panel.priceAt(row)->date().day() == day && !(panel.priceAt(row)->flags() & cv::EditNew)) return row;
    return -1;
}

int endCode(Panel &panel, bool ok)
{
    int code = -1;
    QObject::connect(&panel, &Panel::sheetEnded, [&](int c) { code = c; });
    if (ok)
        panel.okPushed();
    else
        panel.cancelPushed();
    return code;
}

TEST(PricePanel, ShowsPricesAndRatesInTheirFormats)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const cv::SecurityPtr stock = addSecurity(*doc, cv::SecurityKind::Stock, 2);
    const cv::SecurityPtr trust = addSecurity(*doc, cv::SecurityKind::InvestmentTrust, 1);
    putPrice(*doc, stock->ident(), QDate(2009, 1, 5), 12.5);
    putPrice(*doc, trust->ident(), QDate(2009, 1, 5), 10234.5);
    putPrice(*doc, 2, QDate(2009, 1, 5), 98.123456, true);
    putPrice(*doc, 2, QDate(2009, 1, 6), 98.5, true);
    const cv::CurrencyPtr usd = doc->findCurrency(2);

    Panel stockList(doc.get(), stock, kTop);
    Panel trustList(doc.get(), trust, kTop);
    Panel rateList(doc.get(), usd, kTop);
    const struct {
        const Panel &panel;
        int row;
        QString date;
        QString value;
    } cases[] = {
        {stockList, 0, QStringLiteral("2009/01/05"), QStringLiteral("$12.50")},
        {stockList, 1, QStringLiteral("2009/03/01"), QString()}, // the new row at the viewer's first day
        {trustList, 0, QStringLiteral("2009/01/05"), QStringLiteral("10,234.50")},
        {rateList, 0, QStringLiteral("2009/01/05"), QStringLiteral("98.123456")},
        {rateList, 1, QStringLiteral("2009/01/06"), QStringLiteral("98.50")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(c.panel.cellText(Panel::DateColumn, c.row), c.date);
        EXPECT_EQ(c.panel.cellText(Panel::PriceColumn, c.row), c.value);
    }
    EXPECT_EQ(stockList.currencyForColumn(Panel::PriceColumn, 0)->fractionLength, 2);
    EXPECT_EQ(trustList.currencyForColumn(Panel::PriceColumn, 0)->fractionLength, 6);
    EXPECT_FALSE(stockList.okButton()->isEnabled());
    EXPECT_FALSE(stockList.importButton()->isEnabled());
}

TEST(PricePanel, OkWritesRemovalsBeforePutsAndAnswersWhetherAnythingChanged)
{
    using Rows = std::vector<std::pair<int, double>>;
    // clang-format off
    const struct {
        const char *name;
        std::function<void(Panel &)> edit;
        int code;
        Rows after;
        bool refusedFirst = false; // the first OK's write is refused: the sheet stays with its rows
    } cases[] = {
        {"nothing typed", [](Panel &) {}, 0, {{1, 100}, {2, 200}}},
        {"a date moved to a free day",
         [](Panel &p) { p.setObjectValue(p.tableView(), QStringLiteral("2009/01/03"), 0, rowOfDay(p, 1)); }, 1,
         {{2, 200}, {3, 100}}},
        {"a date moved onto the other row's day",
         [](Panel &p) { p.setObjectValue(p.tableView(), QStringLiteral("2009/01/02"), 0, rowOfDay(p, 1)); }, 1,
         {{2, 100}}},
        {"two dates swapped",
         [](Panel &p) {
             const int first = rowOfDay(p, 1);
             const int second = rowOfDay(p, 2);
             p.setObjectValue(p.tableView(), QStringLiteral("2009/01/02"), 0, first);
             p.setObjectValue(p.tableView(), QStringLiteral("2009/01/01"), 0, second);
         },
         1, {{1, 200}, {2, 100}}},
        {"a moved row deleted: removed under its stored date",
         [](Panel &p) {
             const int row = rowOfDay(p, 1);
             p.setObjectValue(p.tableView(), QStringLiteral("2009/01/05"), 0, row);
             p.setObjectValue(p.tableView(), QString(), 1, row);
         },
         1, {{2, 200}}},
        {"zero and unreadable text leave the price", [](Panel &p) {
             p.setObjectValue(p.tableView(), QStringLiteral("0"), 1, rowOfDay(p, 1));
             p.setObjectValue(p.tableView(), QStringLiteral("abc"), 1, rowOfDay(p, 2));
         }, 0, {{1, 100}, {2, 200}}},
        {"a price beyond 10^12 is refused with the reason", [](Panel &p) {
             p.setObjectValue(p.tableView(), QStringLiteral("2,000,000,000,000"), 1, rowOfDay(p, 1));
         }, 0, {{1, 100}, {2, 200}}},
        {"a new price typed",
         [](Panel &p) {
             const int last = p.numberOfRows(p.tableView()) - 1;
             p.setObjectValue(p.tableView(), QStringLiteral("2009/01/09"), 0, last);
             p.setObjectValue(p.tableView(), QStringLiteral("1,250"), 1, last);
         },
         1, {{1, 100}, {2, 200}, {9, 1250}}},
        {"a removal and a put refused, then stored once with room",
         [](Panel &p) {
             const int last = p.numberOfRows(p.tableView()) - 1;
             p.setObjectValue(p.tableView(), QStringLiteral("2009/01/09"), 0, last);
             p.setObjectValue(p.tableView(), QStringLiteral("1,250"), 1, last);
             p.setObjectValue(p.tableView(), QString(), 1, rowOfDay(p, 1));
         },
         1, {{2, 200}, {9, 1250}}, true},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = makeBook();
        ASSERT_TRUE(doc);
        const cv::SecurityPtr security = addSecurity(*doc, cv::SecurityKind::Stock, 1);
        putPrice(*doc, security->ident(), QDate(2009, 1, 1), 100);
        putPrice(*doc, security->ident(), QDate(2009, 1, 2), 200);
        Panel panel(doc.get(), security, kTop);
        c.edit(panel);
        if (c.refusedFirst) {
            cv::SQLDatabase3 &store = *doc->store()->database();
            ASSERT_TRUE(store.performQuery(QStringLiteral(
                "CREATE TEMP TRIGGER stop AFTER INSERT ON PriceTable BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")));
            const int rows = panel.numberOfRows(panel.tableView());
            const QString typed = panel.cellText(Panel::PriceColumn, rows - 1);
            ScriptedAlertPresenter alerts;
            QSignalSpy ended(&panel, &Panel::sheetEnded);
            panel.okPushed();
            EXPECT_EQ(ended.count(), 0);
            EXPECT_EQ(alerts.asked.size(), 1u) << "the book's alert alone";
            EXPECT_EQ(stored(*doc, security->ident()), (Rows{{1, 100}, {2, 200}}));
            EXPECT_EQ(panel.numberOfRows(panel.tableView()), rows);
            EXPECT_EQ(panel.cellText(Panel::PriceColumn, rows - 1), typed);
            ASSERT_TRUE(store.performQuery(QStringLiteral("DROP TRIGGER temp.stop;")));
        }
        EXPECT_EQ(endCode(panel, true), c.code);
        EXPECT_EQ(stored(*doc, security->ident()), c.after);
        EXPECT_EQ(doc->securityPrice(security, QDate(2009, 12, 31)), c.after.back().second);
    }
}

TEST(PricePanel, ADeletionAloneMarksTheBookEditedAndItsUndoEndsWithTheSheet)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    putPrice(*doc, 2, QDate(2009, 1, 1), 95, true);
    putPrice(*doc, 2, QDate(2009, 1, 2), 96, true);
    doc->updateChangeCount(cv::BookChanges::ChangeCleared);
    ASSERT_FALSE(doc->isDocumentEdited());
    {
        Panel panel(doc.get(), doc->findCurrency(2), kTop);
        panel.setObjectValue(panel.tableView(), QString(), 1, rowOfDay(panel, 1));
        EXPECT_EQ(panel.numberOfRows(panel.tableView()), 2); // the row left the table
        EXPECT_TRUE(doc->undoStack()->canUndo());
        doc->undoStack()->undo(); // Undo brings it back
        EXPECT_EQ(panel.numberOfRows(panel.tableView()), 3);
        doc->undoStack()->redo();
        EXPECT_TRUE(panel.okButton()->isEnabled());
        EXPECT_EQ(endCode(panel, true), 1);
        EXPECT_FALSE(doc->undoStack()->canUndo());
    }
    EXPECT_TRUE(doc->isDocumentEdited());
    EXPECT_EQ(stored(*doc, 2, true), (std::vector<std::pair<int, double>>{{2, 96}}));
    EXPECT_EQ(doc->currencyRate(doc->findCurrency(2), QDate(2009, 1, 1)), 100); // the currency's own rate again

    // Cancel writes nothing.
    Panel panel(doc.get(), doc->findCurrency(2), kTop);
    panel.setObjectValue(panel.tableView(), QStringLiteral("97.25"), 1, rowOfDay(panel, 2));
    EXPECT_EQ(endCode(panel, false), 0);
    EXPECT_EQ(stored(*doc, 2, true), (std::vector<std::pair<int, double>>{{2, 96}}));
}

} // namespace
