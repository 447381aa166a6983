#include "controls/SheetManager.h"

#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace cv {

SheetManager::SheetManager(QObject *parent) : QObject(parent)
{
    m_windows.reserve(3);
}

SheetManager::~SheetManager()
{
    for (const QPointer<QWidget> &window : std::as_const(m_windows)) {
        if (window) stopWatching(window);
    }
}

void SheetManager::begin(QWidget *window)
{
    if (!window || m_windows.contains(window)) return;
    m_windows.append(window);
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        // QDialog::done() swallows its own close event: a finished dialog is
        // recognised by its signal only.
        connect(dialog, &QDialog::finished, this, [this, dialog] { closed(dialog); });
    } else {
        window->installEventFilter(this);
    }
    connect(window, &QObject::destroyed, this, [this, window] {
        m_windows.removeIf([window](const QPointer<QWidget> &w) { return !w || w.data() == window; });
    });
}

void SheetManager::stopWatching(QWidget *window)
{
    window->removeEventFilter(this);
    disconnect(window, nullptr, this, nullptr);
}

void SheetManager::closed(QWidget *window)
{
    if (!window) return;
    stopWatching(window);
    m_windows.removeIf([window](const QPointer<QWidget> &w) { return !w || w.data() == window; });
}

bool SheetManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && !event->spontaneous()) {
        if (auto *window = qobject_cast<QWidget *>(watched); window && window->isWindow()) closed(window);
    }
    return QObject::eventFilter(watched, event);
}

void SheetManager::closeAll()
{
    while (!m_windows.isEmpty()) {
        const QPointer<QWidget> window = m_windows.takeLast();
        if (!window) continue;
        stopWatching(window);
        window->close();
    }
}

QList<QWidget *> SheetManager::windows() const
{
    QList<QWidget *> list;
    for (const QPointer<QWidget> &window : m_windows) {
        if (window) list.append(window);
    }
    return list;
}

} // namespace cv
