#include "mainwindow/CV4WindowController.h"
#include "mainwindow/CV4WindowControllerPrivate.h"

#include "charts/ChartPanelController.h"
#include "charts/InfoPanelController.h"
#include "controls/OpenSheet.h"

void CV4WindowController::openChartPanel(const CV4Preference &preference)
{
    if (!d->m_document || isShowingSheet()) return;
    cv::openSheet(new ChartPanelController(d->m_document, preference, this), this,
                  std::function<void(int, ChartPanelController *)>());
}

void CV4WindowController::openInfoPanel()
{
    if (!d->m_document || isShowingSheet()) return;
    cv::openSheet(new InfoPanelController(d->m_document, this), this, std::function<void(int, InfoPanelController *)>());
}
