#pragma once
// Keeps a list of open sheets and windows, oldest first, and forgets each
// when it ends: a dialog when it finishes, any other window when it is
// closed (hidden by the program) or destroyed.

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace cv {

class SheetManager : public QObject {
    Q_OBJECT

public:
    explicit SheetManager(QObject *parent = nullptr);
    ~SheetManager() override;

    // Tracks the window until it ends. The same window twice is tracked once.
    virtual void begin(QWidget *window);
    // Closes every tracked window, the most recent first.
    void closeAll();

    QList<QWidget *> windows() const;
    int count() const { return int(m_windows.size()); }

protected:
    // The window ended: stop watching it and forget it.
    virtual void closed(QWidget *window);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stopWatching(QWidget *window);

    QList<QPointer<QWidget>> m_windows; // tracked, oldest first; not owned
};

} // namespace cv
