#pragma once
// What the line and bar charts share: up to ten accounts or categories over
// a date range, asset or income items on page 1 and the others on page 2
// when page 1 has any, the legend, the plot box with its date grid, and the
// series sampled daily or monthly when the chart is made.

#include "charts/Chart.h"
#include "charts/SeriesTable.h"
#include "model/Node.h"

#include <vector>

namespace cv {

class ReadOnlyBook;

class SeriesChart : public Chart {
public:
    static constexpr int kMonthly = 1; // option bit: one point a month, else a day

    struct Series {
        SeriesTable values; // a row per item, a column per sampled date
        double max = 0;     // of the finite values
        double min = 0;
        bool hasFinite = false;
    };

    void setDocument(ReadOnlyBook *document, int mode, int option, const QString &title,
                     const std::vector<NodePtr> &data, const QDate &from, const QDate &to);

    const std::vector<NodePtr> &items(int page) const { return page == 0 ? m_data1 : m_data2; }
    const Series &series(int page) const { return page == 0 ? m_series1 : m_series2; }
    // The dates the series are sampled on: every day, or the same day of
    // each month (the month's last day where it has none) up to the end.
    static std::vector<QDate> sampleDates(const QDate &from, const QDate &to, bool monthly);

protected:
    explicit SeriesChart(cv::PageSetup &setup) : Chart(setup, true) {}

    struct Plot {
        double x = 0, y = 0, w = 0, h = 0;
        Axis axis;
    };
    void drawContentRect(cv::Canvas &canvas, const QRectF &rect) override;
    // The label of a date line starts at the line (bar) or is centred on it (line).
    virtual bool centresDateLabels() const = 0;
    // The legend's sample of item i, 48 points wide, its row's bottom at y.
    virtual void drawLegendSample(cv::Canvas &canvas, double x, double y, int i) const;
    virtual void drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<NodePtr> &items,
                            const Series &series) = 0;
    QString amountText(double value) const;

    static const QColor kGridGrey;
    static const QColor kFrameGrey;

private:
    Series collect(const std::vector<NodePtr> &items) const;
    double valueOf(const NodePtr &item, const QDate &date) const;
    QString legendTitle(const NodePtr &first) const;
    // The axis widened to the nearest grid lines, so that it ends on labelled steps.
    static Axis onSteps(Axis axis, double axisSize);
    void drawDateGrid(cv::Canvas &canvas, const Plot &plot) const;

    ReadOnlyBook *m_doc = nullptr; // not owned
    int m_mode = Accounts;
    int m_option = 0;
    std::vector<NodePtr> m_data1;
    std::vector<NodePtr> m_data2;
    Series m_series1;
    Series m_series2;
};

} // namespace cv
