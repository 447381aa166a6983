#include "controls/RetainedWindowManager.h"

#include <QCoreApplication>
#include <QWidget>

namespace cv {

void RetainedWindowManager::begin(QWidget *window)
{
    begin(window, window);
}

void RetainedWindowManager::begin(QWidget *window, QObject *controller)
{
    if (!window || windows().contains(window)) return;
    m_controllers.insert(window, controller ? controller : window);
    SheetManager::begin(window);
    connect(window, &QObject::destroyed, this, [this, window] { m_controllers.remove(window); });
}

void RetainedWindowManager::track(QWidget *window)
{
    if (!window || windows().contains(window)) return;
    SheetManager::begin(window);
}

void RetainedWindowManager::closed(QWidget *window)
{
    SheetManager::closed(window);
    const QPointer<QObject> controller = m_controllers.take(window);
    // Later, not now: the end handler of the same signal may still run.
    if (controller) controller->deleteLater();
}

RetainedWindowManager *sheetManager()
{
    static QPointer<RetainedWindowManager> manager;
    if (!manager) manager = new RetainedWindowManager(QCoreApplication::instance());
    return manager;
}

} // namespace cv
