#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "print/PrintPages.h"
#include "controls/HostedPanel.h"
#include "controls/OpenSheet.h"
#include "controls/PasswordSheet.h"
#include "document/Book.h"
#include "mainwindow/pages/CurrencyPage.h"
#include "controls/Tags.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/pages/TemporaryPage.h"
#include "mainwindow/viewer/ViewerPage.h"

#include <QDialog>

namespace cv {

bool BookWindow::validateMenuItem(int tag) const
{
    if (cv::tag::AccountMenu.contains(tag) || cv::tag::CategoryMenu.contains(tag))
        return selectedTabIdentifier() == QLatin1String("TB01") && gridCommandAllowed(tag);
    // The securities commands belong to the securities window.
    if (cv::tag::SecuritiesMenu.contains(tag)) return false;
    if (cv::tag::CurrencyMenu.contains(tag)) {
        const auto *currency = qobject_cast<const cv::CurrencyPage *>(page(CurrencyIndex));
        return currency && currency->validateMenu(tag);
    }
    if (cv::tag::SearchMenu.contains(tag)) {
        const cv::SearchPage *search = searchPage();
        return search && search->validateMenu(tag);
    }
    const QString shown = selectedTabIdentifier();
    if (shown == QLatin1String("TB04") || shown == QLatin1String("TB06")) return false;
    if (shown == QLatin1String("TB02")) {
        const cv::SearchPage *search = searchPage();
        return search && search->resultCount() > 0;
    }
    if (tag == cv::tag::DeleteRow &&
        (shown == QLatin1String("TB01") || shown == QLatin1String("TB03") || shown == QLatin1String("TB05")))
        return false;
    if (const cv::HostedPanel *panel = hostedPanel(); panel && d->m_switcher.currentPage() == d->m_temporaryPage) {
        if (const std::optional<bool> enabled = panel->validateMenuTag(tag)) return *enabled;
    }
    return true;
}

bool BookWindow::isShowingSheet() const
{
    const auto dialogs = findChildren<QDialog *>();
    return std::any_of(dialogs.begin(), dialogs.end(),
                       [](const QDialog *d) { return d->isVisible() && d->windowModality() != Qt::NonModal; });
}

void BookWindow::viewSettingChanged(int tag, bool checked)
{
    if (!d->m_document || !d->m_document->settings()) return;
    Settings &s = *d->m_document->settings();
    if (tag == cv::tag::DisplayDefaultCurrency)
        s.setTransDefaultCurrency(checked ? 1 : 0);
    else if (tag == cv::tag::DisplayStockPrice)
        s.setDisplayStockPrice(checked);
    else
        return;
    d->m_document->commitSettings();
}

void BookWindow::changeFontSize(bool larger)
{
    if (!d->m_document || !d->m_document->settings()) return;
    if (cv::ViewerPage *viewer = viewerPage()) {
        viewer->changeFontSize(larger);
        return;
    }
    Settings &s = *d->m_document->settings();
    const int size = std::clamp(s.viewerFontSize() + (larger ? 1 : -1), 1, 5);
    if (size == s.viewerFontSize()) return;
    s.setViewerFontSize(size);
    d->m_document->commitSettings();
}

void BookWindow::doRecalculation()
{
    if (!d->m_document) return;
    // A rebuild announces nothing: the shown page reads again, the others when entered.
    d->m_document->recalculate();
    dataChanged();
    if (cv::WindowPage *shown = d->m_switcher.currentPage()) shown->reloadData();
}

void BookWindow::compactDB()
{
    if (d->m_document) d->m_document->compactDB();
}

void BookWindow::openPasswordPanel()
{
    if (!d->m_document || !d->m_document->settings() || isShowingSheet()) return;
    cv::openSheet(new PasswordSheet(d->m_document->settings(), this), this, [this](int code, PasswordSheet *) {
        // A new password is stored so the next save carries it; Cancel changed nothing.
        if (d->m_document && code > 0) d->m_document->commitSettings();
    });
}

// ---------------------------------------------------------------- printing

bool BookWindow::canPrint() const
{
    const cv::WindowPage *shown = d->m_switcher.currentPage();
    return d->m_document && shown && shown != d->m_temporaryPage && shown->hasPrintableContent();
}

cv::PrintRunner::Result BookWindow::printView(const Preference &preference, cv::PrintRunner::Mode mode,
                                              const QString &pdfPath)
{
    if (!canPrint()) return {};
    closePopups();
    cv::WindowPage *shown = d->m_switcher.currentPage();
    const cv::PagesMaker make = [shown](cv::PageSetup &setup) { return shown->makePrintView(setup); };
    return cv::printPages(*d->m_document, preference, make, this, mode, pdfPath);
}

} // namespace cv
