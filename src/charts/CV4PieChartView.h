#pragma once
// Up to two pies on a portrait page: the shares of the chosen accounts'
// balances on the start date, or of the chosen categories' totals over the
// range; asset or income items above, the others below when there are both,
// each with its legend table. Two or more slices under 5 % are gathered into
// one black slice.

#include "charts/CV4ChartView.h"
#include "charts/CV4PieChartData.h"

#include <vector>

class CV4Document;

class CV4PieChartView : public CV4ChartView {
public:
    static constexpr int kMonthly = 1; // option bit: monthly sums, else daily
    static constexpr int kSorted = 16; // option bit: slices by value
    static constexpr double kSmallRate = 5;

    explicit CV4PieChartView(cv::PageSetup &setup) : CV4ChartView(setup, false) {}

    void setDocument(CV4Document *document, int mode, int option, const QString &title,
                     const std::vector<CVUnitModelPtr> &data, const QDate &from, const QDate &to);

    // 0 the upper pie, 1 the lower.
    const std::vector<CV4PieChartData> &slices(int pie) const { return pie == 0 ? m_data1 : m_data2; }
    // Rates, and the gathered slice after the last slice of 5 % or more.
    static void calcRate(std::vector<CV4PieChartData> &list);

protected:
    void drawContentRect(cv::Canvas &canvas, const QRectF &rect) override;

private:
    void collectData();
    bool isAsset(const CVUnitModelPtr &unit) const;
    QString label(const CV4PieChartData &slice) const;
    void drawList(cv::Canvas &canvas, const std::vector<CV4PieChartData> &list, double x, double top, double lw,
                  double radius, const QPointF &centre);
    void drawPie(cv::Canvas &canvas, const std::vector<CV4PieChartData> &list, double radius, const QPointF &centre,
                 bool underFive);

    CV4Document *m_doc = nullptr; // not owned
    std::vector<CVUnitModelPtr> m_data;
    int m_mode = Accounts;
    int m_option = 0;
    std::vector<CV4PieChartData> m_data1;
    std::vector<CV4PieChartData> m_data2;
};
