#include "mainwindow/WindowDocumentUI.h"

#include "mainwindow/BookWindow.h"

namespace cv {

void WindowDocumentUI::makeWindows(Book &document)
{
    if (!m_finder(document)) m_maker(document);
}

void WindowDocumentUI::showWindows(Book &document)
{
    BookWindow *window = m_finder(document);
    if (!window) return;
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowDocumentUI::closeWindows(Book &document)
{
    BookWindow *window = m_finder(document);
    if (!window) return;
    // The document goes right after this, maybe from inside the window's own
    // close event: the window lets go now and is freed later.
    window->documentClosing();
    window->deleteLater();
}

} // namespace cv
