#include "controls/ControlsAlertPresenter.h"

#include "controls/NameDialog.h"

#include <QApplication>
#include <QPointer>

namespace cv {

std::optional<QString> ControlsAlertPresenter::runNameDialog(const QString &name, const QString &title, bool mustChange)
{
    // The dialog may go with its parent window while it runs.
    QPointer<NameDialog> dialog = new NameDialog(name, title, mustChange, QApplication::activeWindow());
    const int result = dialog->exec();
    if (!dialog) return std::nullopt;
    std::optional<QString> answer;
    if (result == QDialog::Accepted) answer = dialog->name();
    delete dialog;
    return answer;
}

} // namespace cv
