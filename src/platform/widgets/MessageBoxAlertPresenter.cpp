#include "platform/widgets/MessageBoxAlertPresenter.h"

#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace cv {

namespace {

const char *const kButtonProperty = "cvAlertButton";

QWidget *windowOf(QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    return widget ? widget->window() : nullptr;
}

void addAlertButton(QMessageBox *box, const QString &text, QMessageBox::ButtonRole role, AlertButton answer)
{
    QPushButton *button = box->addButton(text, role);
    button->setProperty(kButtonProperty, int(answer));
}

} // namespace

QMessageBox *MessageBoxAlertPresenter::createMessageBox(const AlertRequest &request, QWidget *parent)
{
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(request.title);
    if (request.title.isEmpty()) {
        box->setText(request.message);
    } else {
        box->setText(request.title);
        box->setInformativeText(request.message);
    }
    const QString defaultText =
        request.defaultButton.isEmpty() ? localizedString(QStringLiteral("OK")) : request.defaultButton;
    addAlertButton(box, defaultText, QMessageBox::AcceptRole, AlertButton::Default);
    QAbstractButton *defaultButton = box->buttons().constLast();
    QAbstractButton *escapeButton = defaultButton;
    if (!request.alternateButton.isEmpty()) {
        addAlertButton(box, request.alternateButton, QMessageBox::RejectRole, AlertButton::Alternate);
        escapeButton = box->buttons().constLast();
    }
    if (!request.otherButton.isEmpty())
        addAlertButton(box, request.otherButton, QMessageBox::ActionRole, AlertButton::Other);
    box->setDefaultButton(qobject_cast<QPushButton *>(defaultButton));
    box->setEscapeButton(escapeButton);
    // Qt sizes the box from its buttons, and Japanese, with no spaces, breaks
    // anywhere: a short sentence keeps its line, a long one wraps at a width
    // that reads well.
    const QFontMetrics metrics(box->font());
    const int limit = metrics.averageCharWidth() * 60;
    for (const char *name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        if (auto *label = box->findChild<QLabel *>(QLatin1String(name)))
            label->setMinimumWidth(std::min(metrics.horizontalAdvance(label->text()) + 2, limit));
    }
    return box;
}

AlertButton MessageBoxAlertPresenter::answerFor(const QMessageBox *box)
{
    if (box) {
        if (const QAbstractButton *clicked = box->clickedButton()) {
            const QVariant answer = clicked->property(kButtonProperty);
            if (answer.isValid()) return AlertButton(answer.toInt());
        }
        // Closed without a choice: as Escape.
        if (const QAbstractButton *escape = box->escapeButton()) {
            const QVariant answer = escape->property(kButtonProperty);
            if (answer.isValid()) return AlertButton(answer.toInt());
        }
    }
    return AlertButton::Default;
}

AlertButton MessageBoxAlertPresenter::runAlert(const AlertRequest &request)
{
    QWidget *window = windowOf(request.window);
    // The box may go with its parent window while it runs.
    QPointer<QMessageBox> box = createMessageBox(request, window ? window : QApplication::activeWindow());
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box->exec();
    if (!box) return request.alternateButton.isEmpty() ? AlertButton::Default : AlertButton::Alternate;
    const AlertButton answer = answerFor(box);
    delete box;
    return answer;
}

std::optional<QString> MessageBoxAlertPresenter::runNameDialog(const QString &name, const QString &title, bool)
{
    qCWarning(lcPlatform) << "no name dialog for" << title << name;
    return std::nullopt;
}

} // namespace cv
