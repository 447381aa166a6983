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
#include <utility>

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

bool hasJapanese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() >= 0x3000 && c.unicode() < 0xA000; });
}

// Qt breaks Japanese, which has no spaces, between any two characters, in
// the middle of a word. Lines end after a clause instead (、。！？ with the
// closing brackets after them), as many clauses a line as fit the width.
QString brokenAtClauses(const QString &text, const QFontMetrics &metrics, int width)
{
    static const QString ends = QStringLiteral("、。！？");
    static const QString closing = QStringLiteral("」』）");
    QStringList lines;
    QString line;
    QString clause;
    auto take = [&] {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + clause) > width) lines << std::exchange(line, {});
        line += std::exchange(clause, {});
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            take();
            lines << std::exchange(line, {});
            continue;
        }
        clause += text[i];
        if (!ends.contains(text[i])) continue;
        while (i + 1 < text.size() && closing.contains(text[i + 1])) clause += text[++i];
        take();
    }
    take();
    lines << line;
    return lines.join(u'\n');
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
    // Qt sizes the box from its buttons: a short sentence keeps its line, a
    // long one wraps at a width that reads well, Japanese after its clauses.
    const QFontMetrics metrics(box->font());
    const int limit = metrics.averageCharWidth() * 60;
    for (const char *name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        auto *label = box->findChild<QLabel *>(QLatin1String(name));
        if (!label) continue;
        int wide = metrics.horizontalAdvance(label->text());
        int room = limit;
        if (hasJapanese(label->text()) && wide > limit) {
            label->setText(brokenAtClauses(label->text(), metrics, limit));
            wide = 0;
            for (const QString &line : label->text().split(u'\n'))
                wide = std::max(wide, metrics.horizontalAdvance(line));
            room = limit * 3 / 2; // a clause wider than a line, up to half as much again
        }
        label->setMinimumWidth(std::min(wide + 2, room));
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
