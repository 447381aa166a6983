#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "charts/ChartSheet.h"
#include "charts/OverviewSheet.h"
#include "controls/OpenSheet.h"
#include "document/Book.h"

namespace cv {

void BookWindow::openChartPanel(const Preference &preference)
{
    if (!d->m_document || isShowingSheet()) return;
    d->m_document->recalculateIfStale(); // category totals at today's rates
    cv::openSheet(new ChartSheet(d->m_document, preference, this), this, std::function<void(int, ChartSheet *)>());
}

void BookWindow::openOverview()
{
    if (!d->m_document || isShowingSheet()) return;
    d->m_document->recalculateIfStale(); // category totals at today's rates
    cv::openSheet(new OverviewSheet(d->m_document, this), this, std::function<void(int, OverviewSheet *)>());
}

} // namespace cv
