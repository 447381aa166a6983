#pragma once
// The scroll a user makes, timed with its paint: a wheel notch or a page per
// step, down and back up once an end is reached. Counts what moved, in the
// scroll bar's units: a step that moves nothing measures nothing.

#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <cstdlib>

namespace cv::bench {

template <class Paint> void runScrollSteps(benchmark::State &state, QAbstractScrollArea &area, bool wheel, Paint paint)
{
    QScrollBar *bar = area.verticalScrollBar();
    QWidget *viewport = area.viewport();
    const QPointF centre = QRectF(viewport->rect()).center();
    int direction = 1;
    long long moved = 0;
    for (auto _ : state) {
        const int before = bar->value();
        if (before >= bar->maximum()) direction = -1;
        if (before <= bar->minimum()) direction = 1;
        if (wheel) {
            QWheelEvent event(centre, viewport->mapToGlobal(centre), QPoint(), QPoint(0, -120 * direction),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &event);
        } else {
            bar->triggerAction(direction > 0 ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        }
        paint();
        moved += std::abs(bar->value() - before);
    }
    state.counters["moved_per_step"] = double(moved) / double(state.iterations());
}

} // namespace cv::bench
