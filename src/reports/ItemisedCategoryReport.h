#pragma once
// The itemised category report: the entries of one period listed category by
// category, each ticked income category and then each expense category on
// pages of its own, with the date, account, memo, grouping and amount in the
// default currency of every entry, and a subtotal. A category at the cut
// depth lists the entries of all the categories below it together.

#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include <memory>

namespace cv {

class ItemisedCategoryReport : public Report {
public:
    // Row levels besides the shared ones. An entry row keeps [amount in the
    // default currency, the category's running subtotal] and [date, account,
    // memo, grouping]; a subtotal row [the category's subtotal]. Every row
    // but rules and blanks names its category node.
    enum Level { EntryLevel = 0, Subtotal = -11 };
    // Bit of an entry row's `number`: its day is not the day of the row above.
    enum RowFlag { DayDiffers = 1 };

    // No view when no ticked category has an entry in the period.
    static std::unique_ptr<ItemisedCategoryReport> make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                        const cv::PageSetup &setup);

    // The account's path of names below its tree's top, joined by "/".
    QString getFullAccountNameForEntry(const Entry &entry) const;

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    ItemisedCategoryReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to);
    Rows makeAllItems(const cv::ReportRequest &request) const;

    QDate m_date1; // first day of the period
    QDate m_date2; // last day
};

} // namespace cv
