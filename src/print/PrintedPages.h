#pragma once
// The base of the printed copies of the main window's pages and of a loan's
// schedule. Rows are split over data pages in one pass when the view is made;
// a data page may spread over two sheets side by side. Every sheet carries
// the page head and draws on its own, so any sheet prints right alone.

#include "print/PrintedPagesParam.h"
#include "platform/print/Canvas.h"
#include "platform/print/PagedDocument.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace cv {

class PrintedPages : public cv::PagedDocument {
public:
    // Rows start .. end - 1 of one data page.
    struct PageRange {
        int start = 0;
        int end = 0;
        bool operator==(const PageRange &) const = default;
    };
    using RowAt = std::function<const PrintedPagesParam &(int index)>;

    static constexpr double kHeadHeight = 28; // date line and title
    static constexpr double kBottomKeep = 14; // kept free above the bottom margin
    static constexpr double kLineHeight = 14; // a text box
    static constexpr double kFontSize = 11;
    static constexpr double kIndentPerLevel = 10;
    static constexpr double kTextInset = 2;

    // Height the rows of one page may take under this setup.
    static double usableHeight(const cv::PageSetup &setup);
    // The data pages of the rows: at least one. A page break ends its page
    // after the rows before it; a row that does not fit opens the next page.
    static std::vector<PageRange> paginate(int rowCount, const RowAt &rowAt, double usable);
    template <class Row> static int countPages(const std::vector<Row> &rows, const cv::PageSetup &setup)
    {
        return int(paginate(
                       int(rows.size()), [&rows](int i) -> const PrintedPagesParam & { return rows[size_t(i)]; },
                       usableHeight(setup))
                       .size());
    }

    ~PrintedPages() override = default;

    cv::PageSetup pageSetup() const override { return m_setup; }
    void setPageSetup(const cv::PageSetup &setup) override;
    int sheetCount() const override { return pages() * m_spread; }
    void drawSheet(int sheet, cv::Canvas &canvas) override;

    int pages() const { return int(m_pages.size()); }
    int spread() const { return m_spread; }
    int curPage() const { return m_curPage; }
    int curSpread() const { return m_curSpread; }
    const std::vector<PageRange> &pageRanges() const { return m_pages; }
    // The rows of the current sheet's data page.
    PageRange range() const;
    QSizeF paperSize() const { return m_setup.paperSize(); }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QString today() const { return m_today; }
    void setToday(const QString &today) { m_today = today; }

protected:
    PrintedPages(int spread, const cv::PageSetup &setup);

    virtual int rowCount() const = 0;
    virtual const PrintedPagesParam &rowAt(int index) const = 0;
    // The rows and, for most views, the head of the current sheet.
    virtual void drawContents(cv::Canvas &canvas) = 0;
    // Call once the rows are in place, and again after the setup changes.
    void paginateRows();

    double leftX() const { return m_setup.margins.left(); }
    double contentWidth() const;
    double rowsTop() const { return m_setup.margins.top() + kHeadHeight; }
    QRectF sheetRect() const { return QRectF(QPointF(0, 0), paperSize()); }

    void drawHead(cv::Canvas &canvas) const;
    // Visits the rows of the current sheet with each row's top; blank rows
    // and rules are handled here and never reach the visitor.
    void walkRows(cv::Canvas &canvas, const std::function<void(int index, double top)> &drawRow) const;
    // Rule rows run from edge to edge of the sheet.
    void drawItem(cv::Canvas &canvas, const PrintedPagesParam &row, double top) const;
    void drawBand(cv::Canvas &canvas, double top, double height, double whiteLevel) const;

    // One string each: at a point, or in a 14-point box cut at its tail.
    static void drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at);
    static void drawLeftJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width);
    static void drawRightJustified(cv::Canvas &canvas, const QString &text, const QPointF &at, double width);
    static void drawCentered(cv::Canvas &canvas, const QString &text, const QPointF &at, double width);

    cv::PageSetup m_setup;

private:
    std::vector<PageRange> m_pages;
    int m_spread = 1;
    int m_curPage = 0;
    int m_curSpread = 0;
    QString m_today;
    QString m_title;
};

// A view over its own row class, asking the owner for each printed row's
// cells: one string per column (budget value columns: three strings).
template <class Row, class Cells = QStringList> class PrintedPagesOf : public PrintedPages {
public:
    using RowType = Row;
    using Callback = std::function<Cells(const Row &)>;

    const std::vector<Row> &data() const { return m_data; }

protected:
    // Sets the orientation the view fixes (if any) in the caller's setup
    // before the pages are counted, as the caller's settings change with it.
    PrintedPagesOf(Callback callback, std::vector<Row> rows, cv::PageSetup &setup, int spread,
                   int fixedOrientation = -1)
        : PrintedPages(spread, oriented(setup, fixedOrientation)), m_callback(std::move(callback)),
          m_data(std::move(rows))
    {
        paginateRows();
    }

    int rowCount() const override { return int(m_data.size()); }
    const PrintedPagesParam &rowAt(int index) const override { return m_data[size_t(index)]; }
    Cells cellsFor(int index) const { return m_callback ? m_callback(m_data[size_t(index)]) : Cells{}; }

private:
    static const cv::PageSetup &oriented(cv::PageSetup &setup, int orientation)
    {
        if (orientation >= 0) setup.orientation = orientation;
        return setup;
    }

    Callback m_callback;
    std::vector<Row> m_data;
};

// One column of a view's table: alignment and width in points.
struct PrintColumn {
    enum Align { L, R, M };
    Align align;
    double width;
};

} // namespace cv
