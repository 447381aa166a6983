#pragma once
// A scroll area that scrolls a pen's wheel events vertically only when it
// has no horizontal scroll bar.

#include <QScrollArea>

namespace cv {

class ScrollView : public QScrollArea {
    Q_OBJECT

public:
    using QScrollArea::QScrollArea;

protected:
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace cv
