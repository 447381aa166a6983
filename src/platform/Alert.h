#pragma once
// Modal alerts, confirmations and name entry. The core library has no
// widgets, so every question goes through a presenter that the GUI installs
// at start-up and tests replace with a scripted one. Without a presenter the
// alert is logged and the default button answers.

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace cv {

enum class AlertButton { Default, Alternate, Other };

struct AlertRequest {
    QString title;
    QString message;
    QString defaultButton;     // never empty
    QString alternateButton;   // empty: not shown
    QString otherButton;       // empty: not shown
    QObject *window = nullptr; // modal for this window; null: for the application
};

class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    // Runs modally; a dismissal without a choice answers the alternate button
    // when there is one, else the default.
    virtual AlertButton runAlert(const AlertRequest &request) = 0;
    // The entered name, or none when cancelled.
    virtual std::optional<QString> runNameDialog(const QString &name, const QString &title, bool mustChange) = 0;
};

// Not owned. Answers the presenter it replaces.
AlertPresenter *setAlertPresenter(AlertPresenter *presenter);
AlertPresenter *alertPresenter();

// Whether the name dialog may accept the name: never empty, and different
// from the initial one when it must change.
bool isAcceptableName(const QString &name, const QString &initialName, bool mustChange);

class Alert {
public:
    static void alert(const QString &title, const QString &message, QObject *window = nullptr);
    static void warn(const QString &message);
    // Null button titles give the localised "OK" and "Cancel". true for the default button.
    static bool confirm(const QString &title, const QString &message, const QString &okString = QString(),
                        const QString &cancelString = QString());
    // Buttons: default, alternate, other. Answers 1, 0 or -1.
    static int confirm3(const QString &title, const QString &message, const QStringList &buttons);
    // true means discard.
    static bool discardChanges();
    static std::optional<QString> inputName(const QString &name, const QString &title, bool mustChange = false);
};

} // namespace cv
