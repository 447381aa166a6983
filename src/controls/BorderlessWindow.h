#pragma once
// A borderless window that takes the keyboard and closes on Escape (with or
// without modifiers).

#include <QWidget>

namespace cv {

class BorderlessWindow : public QWidget {
    Q_OBJECT

public:
    explicit BorderlessWindow(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace cv
