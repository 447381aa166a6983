// The process-wide popups are freed when the application quits; tests never
// quit, so they go when the tests end, while the application still stands.

#include "controls/ChooserPopup.h"
#include "controls/CalendarPopup.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class ProcessPopupsEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        delete cv::ChooserPopup::get();
        delete cv::CalendarPopup::get();
        QApplication::processEvents();
    }
};

[[maybe_unused]] const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new ProcessPopupsEnvironment);

} // namespace
