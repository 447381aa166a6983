#include "panels/dialogs/FrontWindow.h"

#include "controls/DateReceiver.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

namespace cv {

namespace {

QPointer<QWidget> &lastActive()
{
    static QPointer<QWidget> window;
    return window;
}

bool isFloating(const QWidget *window)
{
    return window && (window->windowFlags() & Qt::WindowStaysOnTopHint) && window->windowType() == Qt::Tool;
}

bool answers(const QObject *target, const char *signature)
{
    return target && target->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature)) >= 0;
}

} // namespace

void trackFrontWindow()
{
    static bool connected = false;
    if (connected || !qApp) return;
    connected = true;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget *, QWidget *now) {
        QWidget *window = now ? now->window() : nullptr;
        if (window && !isFloating(window)) lastActive() = window;
    });
    if (QWidget *active = QApplication::activeWindow(); active && !isFloating(active)) lastActive() = active;
}

QWidget *frontWindowFor(const QWidget *self)
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window) window = QApplication::activeWindow();
    if (!window || window == self || isFloating(window)) window = lastActive();
    if (window == self) return nullptr;
    // A sheet open on the window takes the post.
    if (window) {
        for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isWindow() && child->isVisible() && child->windowModality() == Qt::WindowModal) return child;
    }
    return window;
}

bool postInputValue(const QWidget *self, const QString &value)
{
    QWidget *target = frontWindowFor(self);
    if (!answers(target, "performInputValue(QString)")) return false;
    return QMetaObject::invokeMethod(target, "performInputValue", Q_ARG(QString, value));
}

bool postInputDate(const QWidget *self, const QDate &date)
{
    QWidget *target = frontWindowFor(self);
    if (auto *receiver = dynamic_cast<DateReceiver *>(target)) {
        receiver->performInputDate(date);
        return true;
    }
    if (!answers(target, "performInputDate(QDate)")) return false;
    return QMetaObject::invokeMethod(target, "performInputDate", Q_ARG(QDate, date));
}

} // namespace cv
