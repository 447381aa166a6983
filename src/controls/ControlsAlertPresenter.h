#pragma once
// The program's alerts: the desktop's message boxes, and the name dialog of
// the controls for name entry. The application installs one at start-up.

#include "platform/widgets/MessageBoxAlertPresenter.h"

namespace cv {

class ControlsAlertPresenter : public cv::MessageBoxAlertPresenter {
public:
    std::optional<QString> runNameDialog(const QString &name, const QString &title, bool mustChange) override;
};

} // namespace cv
