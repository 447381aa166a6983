#include "platform/Alert.h"

#include "platform/Localization.h"
#include "platform/Logging.h"

namespace cv {

namespace {
AlertPresenter *gPresenter = nullptr;

AlertButton present(const AlertRequest &request)
{
    if (gPresenter) return gPresenter->runAlert(request);
    qCInfo(lcPlatform).noquote() << "alert without a presenter:" << request.title << "-" << request.message
                                 << "- answering" << request.defaultButton;
    return AlertButton::Default;
}
} // namespace

AlertPresenter *setAlertPresenter(AlertPresenter *presenter)
{
    AlertPresenter *previous = gPresenter;
    gPresenter = presenter;
    return previous;
}

AlertPresenter *alertPresenter()
{
    return gPresenter;
}

bool isAcceptableName(const QString &name, const QString &initialName, bool mustChange)
{
    if (name.isEmpty()) return false;
    return !mustChange || name != initialName;
}

void Alert::alert(const QString &title, const QString &message, QObject *window)
{
    cv::AlertRequest request;
    request.title = title;
    request.message = message;
    request.defaultButton = cv::localizedString(QStringLiteral("OK"));
    request.window = window;
    cv::present(request);
}

void Alert::warn(const QString &message)
{
    alert(cv::localizedString(QStringLiteral("Warning")), message);
}

bool Alert::confirm(const QString &title, const QString &message, const QString &okString, const QString &cancelString)
{
    cv::AlertRequest request;
    request.title = title;
    request.message = message;
    request.defaultButton = okString.isEmpty() ? cv::localizedString(QStringLiteral("OK")) : okString;
    request.alternateButton = cancelString.isEmpty() ? cv::localizedString(QStringLiteral("Cancel")) : cancelString;
    return cv::present(request) == cv::AlertButton::Default;
}

int Alert::confirm3(const QString &title, const QString &message, const QStringList &buttons)
{
    cv::AlertRequest request;
    request.title = title;
    request.message = message;
    request.defaultButton = buttons.value(0);
    if (request.defaultButton.isEmpty()) request.defaultButton = cv::localizedString(QStringLiteral("OK"));
    request.alternateButton = buttons.value(1);
    request.otherButton = buttons.value(2);
    switch (cv::present(request)) {
    case cv::AlertButton::Default: return 1;
    case cv::AlertButton::Other:
        // A presenter must not answer a button it was not given.
        return request.otherButton.isEmpty() ? 0 : -1;
    case cv::AlertButton::Alternate: break;
    }
    return 0;
}

bool Alert::discardChanges()
{
    return confirm(cv::localizedString(QStringLiteral("Content Changed")),
                   cv::localizedString(QStringLiteral("Discard Changes ?")),
                   cv::localizedString(QStringLiteral("Discard")), cv::localizedString(QStringLiteral("Cancel")));
}

std::optional<QString> Alert::inputName(const QString &name, const QString &title, bool mustChange)
{
    if (!cv::gPresenter) {
        // Headless: the default button accepts the name as it stands, when it may.
        qCInfo(lcPlatform).noquote() << "name entry without a presenter:" << title;
        if (cv::isAcceptableName(name, name, mustChange)) return name;
        return std::nullopt;
    }
    std::optional<QString> entered = cv::gPresenter->runNameDialog(name, title, mustChange);
    if (entered && !cv::isAcceptableName(*entered, name, mustChange)) return std::nullopt;
    return entered;
}

} // namespace cv
