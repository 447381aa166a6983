#pragma once
// The desktop's alerts: message boxes, window-modal when a window is given.
// Name entry needs the controls' name dialog: the program's presenter
// derives from this one and supplies it.

#include "platform/Alert.h"

class QMessageBox;
class QWidget;

namespace cv {

class MessageBoxAlertPresenter : public AlertPresenter {
public:
    AlertButton runAlert(const AlertRequest &request) override;
    // Without a name dialog: logged, and answered as cancelled.
    std::optional<QString> runNameDialog(const QString &name, const QString &title, bool mustChange) override;

    // The box for a request, not yet shown; answerFor() reads its answer.
    static QMessageBox *createMessageBox(const AlertRequest &request, QWidget *parent = nullptr);
    static AlertButton answerFor(const QMessageBox *box);
};

} // namespace cv
