#pragma once
// What stopped processes of this host left beside books: a save's temporary
// (".<book>.saving-<host>-<pid>") and a lock's rewrite
// (".<book>.lock-<pid>-<hex>"). A folder of many files takes a while to read,
// so it is swept once in a run, off the main thread, after the book's window
// shows or a save into it; neither the open nor the save reads the folder.

#include <QString>

namespace cv::leftovers {

// Sweeps `folder` on a worker thread, unless it was swept in this run.
void sweepOnce(const QString &folder);
// The sweep itself, at once.
void sweep(const QString &folder);
// Tests: waits for the sweeps under way and lets every folder be swept again.
void waitAndForgetForTests();

} // namespace cv::leftovers
