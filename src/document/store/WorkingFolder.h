#pragma once
// The working folder "Work" in the application's data folder. Each running
// instance keeps its working copies in a subfolder of its own, guarded by a
// lock file beside it; the first use in a run deletes what instances that are
// gone left behind, never what a running one holds.

#include <QString>

namespace cv::work {

// A new working file path in this instance's subfolder (the file itself is not
// created). The numbers count up for the whole run and are never reused. An
// empty text when the folder cannot be made.
QString newWorkingPath();

// This instance's subfolder (made, with the clean-up, on first use).
QString instanceFolder();

// Moves the working folder elsewhere (tests): releases this instance's
// subfolder, and the next use makes and cleans the new folder, and cleans
// the previous one (where earlier builds worked). An empty text returns to
// the default places.
void setWorkFolder(const QString &folder, const QString &previousFolder = QString());

// Where the working folder is.
QString workFolder();

} // namespace cv::work
