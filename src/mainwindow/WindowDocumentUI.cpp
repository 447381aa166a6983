#include "mainwindow/WindowDocumentUI.h"

#include "mainwindow/CV4WindowController.h"

namespace cv {

void WindowDocumentUI::makeWindowControllers(CV4Document &document)
{
    if (!m_finder(document)) m_maker(document);
}

void WindowDocumentUI::showWindows(CV4Document &document)
{
    CV4WindowController *window = m_finder(document);
    if (!window) return;
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowDocumentUI::closeWindows(CV4Document &document)
{
    CV4WindowController *window = m_finder(document);
    if (!window) return;
    // The document goes right after this, maybe from inside the window's own
    // close event: the window lets go now and is freed later.
    window->documentClosing();
    window->deleteLater();
}

} // namespace cv
