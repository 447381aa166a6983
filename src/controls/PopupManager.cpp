#include "controls/PopupManager.h"

#include "controls/OutsideClickClient.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>

namespace cv {

PopupManager *PopupManager::popupManager()
{
    static QPointer<PopupManager> manager;
    if (!manager) {
        manager = new PopupManager;
        if (QCoreApplication *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, manager, &QObject::deleteLater);
    }
    return manager;
}

void PopupManager::begin(QWidget *popup, Options options)
{
    if (!popup) return;
    closed(popup); // a reopened popup goes to the top with its new options
    if (options.keepsOutsideClicks || options.controllerClose) m_options.push_back({popup, std::move(options)});
    SheetManager::begin(popup);
}

void PopupManager::closed(QWidget *popup)
{
    m_options.erase(std::remove_if(m_options.begin(), m_options.end(),
                                   [popup](const Entry &entry) { return !entry.popup || entry.popup == popup; }),
                    m_options.end());
    SheetManager::closed(popup);
}

PopupManager::Options PopupManager::optionsOf(QWidget *popup) const
{
    for (const Entry &entry : m_options)
        if (entry.popup == popup) return entry.options;
    return {};
}

QWidget *PopupManager::topmost() const
{
    const QList<QWidget *> open = windows();
    return open.isEmpty() ? nullptr : open.last();
}

bool PopupManager::testOutsideClicks(QWidget *window, const QPoint &globalPos)
{
    const QPointer<QWidget> top = topmost();
    if (!top) return false;
    if (top->frameGeometry().contains(globalPos)) return false;
    const Options options = optionsOf(top);
    if (options.keepsOutsideClicks) return true;

    if (options.controllerClose) {
        options.controllerClose();
    } else if (auto *client = dynamic_cast<OutsideClickClient *>(window ? window->window() : nullptr)) {
        client->clickedOutside();
    }
    // Whatever the client did, the popup does not outlive the click.
    if (top && top->isVisible()) top->close();
    return true;
}

bool PopupManager::popupMousePress(QWidget *popup, QMouseEvent *event)
{
    if (popup->rect().contains(event->position().toPoint())) return false;
    const QPoint global = event->globalPosition().toPoint();
    QWidget *under = QApplication::topLevelAt(global);
    if (under == popup) under = nullptr;
    const bool used = testOutsideClicks(under, global);
    event->accept();
    return used;
}

} // namespace cv
