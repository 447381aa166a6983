#pragma once
// The base of the printed charts: the page frame (title, date line, two
// rules) around the subclass's content, the chart palette and the helpers
// the line and bar charts share (axis scaling, grid-line choice, date step).
// Content is laid out as on paper seen from below: y grows upwards from the
// sheet's bottom edge; the text and box helpers turn it over for the canvas.

#include "platform/print/Canvas.h"
#include "platform/print/PagedDocument.h"

#include "model/Node.h"

#include <QColor>
#include <QDate>
#include <QString>

namespace cv {

class ReadOnlyBook;

class Chart : public cv::PagedDocument {
public:
    enum Mode { Accounts = 0, Categories = 1 };
    static constexpr int kPaletteSize = 10;
    static constexpr int kBlackIndex = 11;
    static constexpr double kFontSize = 10; // the report font
    static constexpr double kLineHeight = 14;

    struct Axis {
        double ceil = 1000;
        double floor = 0;
        double unit = 100;
    };
    struct DateStep {
        int months = 0;
        int days = 0;
    };

    ~Chart() override = default;

    cv::PageSetup pageSetup() const override { return m_setup; }
    void setPageSetup(const cv::PageSetup &setup) override;
    int sheetCount() const override { return m_pages; }
    void drawSheet(int sheet, cv::Canvas &canvas) override;

    int pages() const { return m_pages; }
    void setPages(int pages) { m_pages = pages; }
    int currentPage() const { return m_curPage; }
    bool hasAssetIncome() const { return m_hasAssetIncome; }
    void setHasAssetIncome(bool value) { m_hasAssetIncome = value; }
    const QString &title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    // The end may be invalid (a pie of accounts has none).
    void setDateFrom(const QDate &from, const QDate &to);
    // 0 the start, 1 the end, otherwise none.
    QDate date(int which) const;

    // Palette entry i; black outside it.
    static QColor chartColor(int index);
    // Axis limits and step for the finite values' maximum and minimum.
    static Axis calcAxis(double max, double min);
    static bool shouldDrawTheLineFor(double value, const Axis &axis, double axisSize);
    // The distance between labelled grid lines on an axis that long; 0 for none.
    static double gridStep(const Axis &axis, double axisSize);
    static DateStep scaleAdvance(const QDate &from, const QDate &to);

protected:
    // Fixes the orientation in the caller's setup, as the pages are counted for it.
    Chart(cv::PageSetup &setup, bool landscape);

    // The root whose items the first page (or the upper pie) shows: assets
    // for accounts, income for categories; null without a book.
    static NodePtr firstPageRoot(const ReadOnlyBook *document, int mode);

    // The content rectangle (x, y: bottom-left; from below) inside the frame.
    virtual void drawContentRect(cv::Canvas &canvas, const QRectF &rect) = 0;

    // Boxes and points from below to the canvas.
    double flipY(double y) const { return m_paperHeight - y; }
    QRectF box(double x, double y, double w, double h) const { return QRectF(x, m_paperHeight - y - h, w, h); }
    // A line of text whose box's bottom-left is (x, y).
    void drawText(cv::Canvas &canvas, const QString &text, double x, double y) const;
    void drawRight(cv::Canvas &canvas, const QString &text, double x, double y, double width) const;
    void drawCentered(cv::Canvas &canvas, const QString &text, double x, double y, double width) const;
    static cv::CanvasFont reportFont();

private:
    cv::PageSetup m_setup;
    double m_paperHeight = 0;
    int m_topMargin = 0;
    int m_leftMargin = 0;
    int m_bottomMargin = 0;
    int m_rightMargin = 0;
    int m_pages = 1;
    int m_curPage = 0;
    bool m_hasAssetIncome = false;
    QString m_title;
    QDate m_date1;
    QDate m_date2;
};

} // namespace cv
