#pragma once
// The base of every printed report: one list of rows (ReportRow) built
// once by the subclass from the document, laid out over pages, and drawn one
// page at a time through the print canvas. The base counts the pages, draws
// each page's head (date, page of pages, centred title) and offers the text
// helpers, full names and the amount formatter the reports share.
//
// Positions on a page are measured down from the top margin (the canvas's
// origin is the sheet's top-left): the head takes the first 28 points, the
// report's own head lines the next 14 or so, and rows start at kRowsTop; a
// row takes the band from the position it starts at down by its height.
//
// A subclass builds its rows in its maker, hands them over with setData,
// sets its title and draws its own head lines and rows in drawPage. Anything
// that depends on the page (a rank restarting per page, the date on a page's
// first row) is decided there, from the page's range; nothing carries over
// from one drawn page to the next.

#include "reports/ReportRow.h"

#include "platform/print/Canvas.h"
#include "platform/print/PagedDocument.h"

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

namespace cv {

class ReadOnlyBook;
class PatternFormatter;

class Report : public cv::PagedDocument {
public:
    using Rows = std::vector<ReportRow>;

    // Rows start .. end - 1 are drawn on one page.
    struct PageRange {
        int start = 0;
        int end = 0;
        bool operator==(const PageRange &) const = default;
    };

    static constexpr double kHeadBand = 70; // page head and the report's head lines
    static constexpr double kFootBand = 42; // kept free at the foot of the page
    static constexpr double kLineHeight = 14;
    static constexpr double kTitleTop = 14; // the title's line, below the date line
    static constexpr double kHeadsTop = 28; // the usual line of column heads
    static constexpr double kRowsTop = 42;  // where rows start
    static constexpr double kFontSize = 11;

    // Row builders: each appends one shared row.
    static void addLineTo(Rows &rows);     // rule, 2 points thick in a 4-point row
    static void addThinlineTo(Rows &rows); // rule, 1 point thick
    static void addBlankTo(Rows &rows);    // 14 points of nothing
    static void addPageTo(Rows &rows);     // page break; every report puts a blank row before it

    // The height rows may fill on one page of this setup.
    static double usableHeight(const cv::PageSetup &setup);
    // The drawn rows of each page (at least one page). A page break opens the
    // next page unless it is the last row; a row that takes the filled
    // height past the usable one opens the next page, except when a page
    // break follows it. Page breaks and the row just before one are drawn on
    // no page.
    static std::vector<PageRange> paginate(const Rows &rows, double usable);
    static int countPages(const Rows &rows, const cv::PageSetup &setup)
    {
        return int(paginate(rows, usableHeight(setup)).size());
    }

    ~Report() override = default;

    // PagedDocument
    cv::PageSetup pageSetup() const override { return m_setup; }
    void setPageSetup(const cv::PageSetup &setup) override;
    int sheetCount() const override { return pages(); }
    void drawSheet(int sheet, cv::Canvas &canvas) override;

    const Rows &data() const { return m_data; }
    int pages() const { return int(m_pages.size()); }
    int curPage() const { return m_curPage; }
    const std::vector<PageRange> &pageRanges() const { return m_pages; }
    // The drawn rows of the page being drawn.
    PageRange range() const;
    QString title() const { return m_title; }
    QString today() const { return m_today; }
    // Tests fix the date the head shows.
    void setToday(const QString &today) { m_today = today; }
    QSizeF paperSize() const { return m_setup.paperSize(); }
    ReadOnlyBook &doc() const { return m_doc; }

    // Full names: the path of names below the tree's top node, joined by "/".
    // An account ends with its display name, a category with its own name.
    QString getFullAccountName(const Node &node) const;
    QString getFullCatName(const Node &node) const;
    // The category of an income or expense entry; empty for other entries.
    QString getFullCatName(const Entry &entry) const;
    // The document's amount formatter of its default currency.
    const PatternFormatter &currencyFormatter() const;
    QString formatAmount(double value) const;
    // A date in the reports' date format.
    QString formatDate(const QDate &date) const;

protected:
    Report(ReadOnlyBook &doc, const cv::PageSetup &setup);

    // Takes the rows and lays them out over pages.
    void setData(Rows rows);
    void setTitle(const QString &title) { m_title = title; }

    // The report's own head lines and the rows of range(); the page head is
    // already drawn.
    virtual void drawPage(cv::Canvas &canvas) = 0;

    double left() const { return m_setup.margins.left(); }
    double top() const { return m_setup.margins.top(); }
    double contentWidth() const;
    // The period line at the top left: "Report-CountingTerm" with the dates.
    void drawPeriod(cv::Canvas &canvas, const QDate &from, const QDate &to) const;
    // Walks the rows of the page from `startTop` down: rules are drawn and
    // blank rows and page breaks skipped here; every other row reaches the
    // visitor with its index and the top of its band.
    void walkRows(cv::Canvas &canvas, double startTop, const std::function<void(int index, double top)> &drawRow) const;
    // A rule row (-3 or -4) across the page from the left margin; other rows draw nothing.
    void drawItem(cv::Canvas &canvas, const ReportRow &row, double top) const;

    // Text in a 14-point line whose top-left is `at`; never cut, so an amount
    // is never shown short. Right-justified text is blank while values are
    // disabled.
    void drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at) const;
    void drawRightJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const;
    void drawCentered(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const;
    // A column head right-justified in its column, set smaller when the
    // language's text is wider than the column, so it never runs into the next.
    void drawHeadRight(cv::Canvas &canvas, const QString &text, const QPointF &at, double width) const;
    void setDisableValues(bool disable) { m_disableValues = disable; }
    bool disableValues() const { return m_disableValues; }

    cv::PageSetup m_setup;

private:
    void drawHead(cv::Canvas &canvas) const;
    QString fullName(const Node &node, const QString &ownName) const;

    ReadOnlyBook &m_doc; // the book; outlives the view
    Rows m_data;         // the rows, fixed once set
    std::vector<PageRange> m_pages;
    int m_curPage = 0;            // page being drawn, from 0
    bool m_disableValues = false; // blanks right-justified text
    QString m_today;              // the day the view was made, formatted
    QString m_title;
};

} // namespace cv
