// The document window's side of the securities: its securities window, the
// new-security command of the choosers.

#include "mainwindow/CV4WindowController.h"

#include "controls/BrandDataSource.h"
#include "controls/ChooserItem.h"
#include "controls/CommandUnitModel.h"
#include "document/CV4Document.h"
#include "mainwindow/BrandWindow.h"
#include "platform/Localization.h"

#include <QApplication>

namespace {

CV4WindowController *windowOf(const CV4Document &document)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<CV4WindowController *>(widget);
        if (window && window->document() == &document) return window;
    }
    return nullptr;
}

} // namespace

cv::BrandWindow *CV4WindowController::brandWindow() const
{
    return m_brandWindow;
}

cv::BrandWindow *CV4WindowController::ensureBrandWindow()
{
    if (!m_brandWindow && m_document) m_brandWindow = new cv::BrandWindow(this, m_document);
    return m_brandWindow;
}

void CV4WindowController::showBrandWindow()
{
    cv::BrandWindow *window = ensureBrandWindow();
    if (!window) return;
    window->setWindowTitle(cv::formatString(cv::localizedString(QStringLiteral("Brand-Window-Title")),
                                            {windowTitle().remove(QStringLiteral("[*]"))}));
    window->enterBrandView();
    window->show();
    window->raise();
    window->activateWindow();
}

QTableView *CV4WindowController::brandView()
{
    cv::BrandWindow *window = ensureBrandWindow();
    return window ? window->brandView() : nullptr;
}

bool CV4WindowController::isBrandWindowKey() const
{
    return m_brandWindow && m_brandWindow->isActiveWindow();
}

void CV4WindowController::brandNewForCommand(const std::shared_ptr<cv::CommandUnitModel> &row)
{
    showBrandWindow();
    cv::BrandWindow *window = m_brandWindow;
    if (!window) return;
    window->brandNewWithHandler([window = QPointer<cv::BrandWindow>(window), row](const CV4BrandPtr &brand) {
        if (window) window->close();
        if (row && brand) row->returnItem(cv::ChooserItem::fromBrand(brand));
    });
}

void CV4WindowController::registerBrandCommands()
{
    cv::BrandDataSource::setNewBrandAction([](CV4Document &document, cv::CommandUnitModel &row) {
        if (CV4WindowController *window = windowOf(document))
            window->brandNewForCommand(std::static_pointer_cast<cv::CommandUnitModel>(row.shared_from_this()));
        // The sheet hands the security back when it ends.
        return cv::ChooserItem();
    });
}

bool CV4WindowController::maybeDeleteBrand(const CV4BrandPtr &brand, const CVUnitModelPtr &account)
{
    cv::BrandWindow *window = ensureBrandWindow();
    return window && window->maybeDeleteBrand(brand, account);
}
