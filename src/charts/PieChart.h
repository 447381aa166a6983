#pragma once
// Up to two pies on a portrait page: the shares of the chosen accounts'
// balances on the start date, or of the chosen categories' totals over the
// range; asset or income items above, the others below when there are both,
// each with its legend table. Two or more slices under 5 % are gathered into
// one black slice.

#include "charts/Chart.h"
#include "charts/PieChartData.h"

#include <vector>

namespace cv {

class ReadOnlyBook;

class PieChart : public Chart {
public:
    static constexpr int kMonthly = 1; // option bit: monthly sums, else daily
    static constexpr int kSorted = 16; // option bit: slices by value
    static constexpr double kSmallRate = 5;

    explicit PieChart(cv::PageSetup &setup) : Chart(setup, false) {}

    void setDocument(ReadOnlyBook *document, int mode, int option, const QString &title,
                     const std::vector<NodePtr> &data, const QDate &from, const QDate &to);

    // 0 the upper pie, 1 the lower.
    const std::vector<PieChartData> &slices(int pie) const { return pie == 0 ? m_data1 : m_data2; }
    // Rates, and the gathered slice after the last slice of 5 % or more.
    static void calcRate(std::vector<PieChartData> &list);

protected:
    void drawContentRect(cv::Canvas &canvas, const QRectF &rect) override;

private:
    void readRows();
    bool isAsset(const NodePtr &unit) const;
    QString label(const PieChartData &slice) const;
    void drawList(cv::Canvas &canvas, const std::vector<PieChartData> &list, double x, double top, double lw,
                  double radius, const QPointF &centre);
    void drawPie(cv::Canvas &canvas, const std::vector<PieChartData> &list, double radius, const QPointF &centre,
                 bool underFive);

    ReadOnlyBook *m_doc = nullptr; // not owned
    std::vector<NodePtr> m_data;
    int m_mode = Accounts;
    int m_option = 0;
    std::vector<PieChartData> m_data1;
    std::vector<PieChartData> m_data2;
};

} // namespace cv
