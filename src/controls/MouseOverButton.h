#pragma once
// A button that acts while the pointer rests on it: once when the pointer
// enters, then every kRepeatMs while it stays (the chooser's scroll arrows).
// It shows its border only while hovered.

#include <QToolButton>

#include <functional>

namespace cv {

class MouseOverButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kRepeatMs = 50;

    MouseOverButton(const QString &title, std::function<void()> action, QWidget *parent = nullptr);
    bool isHovered() const { return m_hovered; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void repeat(int run);

    std::function<void()> m_action;
    bool m_hovered = false;
    int m_run = 0; // a repeat chain of an earlier hover stops
};

} // namespace cv
