#pragma once
// A pen's wheel events in a scroll area without a horizontal scroll bar
// scroll vertically only: a stroke that leans sideways would otherwise go to
// the hidden bar and shift the columns, or not scroll at all.

class QAbstractScrollArea;
class QWheelEvent;

namespace cv {

// True when the event was a pen's and the area scrolled it; every other
// event is left to the area's own wheel handling.
bool scrollPenWheelVertically(QAbstractScrollArea &area, QWheelEvent &event);

} // namespace cv
