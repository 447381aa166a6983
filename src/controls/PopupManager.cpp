#include "controls/PopupManager.h"

#include "controls/OutsideClickClient.h"

#include <QApplication>
#include <QMouseEvent>
#include <QEvent>

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
    forget(popup);
    m_entries.push_back({popup, std::move(options)});
    popup->installEventFilter(this);
}

void PopupManager::forget(QObject *popup)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [popup](const Entry &entry) { return !entry.popup || entry.popup == popup; }),
                    m_entries.end());
}

bool PopupManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide || event->type() == QEvent::Destroy) {
        watched->removeEventFilter(this);
        forget(watched);
    }
    return false;
}

void PopupManager::closeAll()
{
    // Copy first: each close leaves the list.
    const std::vector<Entry> entries = m_entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (!it->popup) continue;
        if (it->options.controllerClose) it->options.controllerClose();
        else it->popup->close();
    }
}

QWidget *PopupManager::topmost() const
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->popup) return it->popup;
    return nullptr;
}

int PopupManager::count() const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(), [](const Entry &entry) { return entry.popup; }));
}

bool PopupManager::testOutsideClicks(QWidget *window, const QPoint &globalPos)
{
    forget(nullptr);
    if (m_entries.empty()) return false;
    const Entry top = m_entries.back();
    if (top.popup->frameGeometry().contains(globalPos)) return false;
    if (top.options.keepsOutsideClicks) return true;

    if (top.options.controllerClose) {
        top.options.controllerClose();
    } else if (auto *client = dynamic_cast<OutsideClickClient *>(window ? window->window() : nullptr)) {
        client->clickedOutside();
    }
    // Whatever the client did, the popup does not outlive the click.
    if (top.popup && top.popup->isVisible()) top.popup->close();
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
