#pragma once

class QComboBox;

namespace cv {

// Empties the popup, then adds the days "1" to lastDay with their numbers as
// item data and the localised "Last day" with 31.
void fillDatePopUp(QComboBox *popup, int lastDay = 30);

} // namespace cv
