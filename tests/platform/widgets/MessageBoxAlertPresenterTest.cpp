#include "platform/Localization.h"
#include "platform/widgets/MessageBoxAlertPresenter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Acts on the modal dialog once it shows. Whatever the action leaves open is
// closed a little later, so a failing test cannot block the run.
void whenModalShows(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (++*tries > 1000) timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        QPointer<QWidget> watched = modal;
        action(modal);
        QTimer::singleShot(3000, qApp, [watched] {
            if (!watched || !watched->isVisible()) return;
            ADD_FAILURE() << "dialog left open";
            if (auto *dialog = qobject_cast<QDialog *>(watched.data())) dialog->reject();
        });
    });
    timer->start(5);
}

void pressEscape(QWidget *widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

QAbstractButton *buttonTitled(QWidget *box, const QString &text)
{
    for (auto *b : box->findChildren<QAbstractButton *>())
        if (b->text() == text) return b;
    return nullptr;
}

cv::AlertRequest threeButtons()
{
    cv::AlertRequest r;
    r.title = QStringLiteral("Save changes?");
    r.message = QStringLiteral("The book was changed.");
    r.defaultButton = QStringLiteral("Save");
    r.alternateButton = QStringLiteral("Cancel");
    r.otherButton = QStringLiteral("Don't Save");
    return r;
}

} // namespace

TEST(MessageBoxAlertPresenter, BoxHasTheRequestedButtonsAndAnswers)
{
    const cv::AlertRequest request = threeButtons();
    for (const auto &[title, answer] : {std::pair{QStringLiteral("Save"), cv::AlertButton::Default},
                                        std::pair{QStringLiteral("Cancel"), cv::AlertButton::Alternate},
                                        std::pair{QStringLiteral("Don't Save"), cv::AlertButton::Other}}) {
        std::unique_ptr<QMessageBox> box(cv::MessageBoxAlertPresenter::createMessageBox(request));
        EXPECT_EQ(box->buttons().size(), 3);
        EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Save"));
        EXPECT_EQ(box->escapeButton()->text(), QStringLiteral("Cancel"));
        EXPECT_EQ(box->informativeText(), request.message);
        buttonTitled(box.get(), title)->click();
        EXPECT_EQ(cv::MessageBoxAlertPresenter::answerFor(box.get()), answer) << title.toStdString();
    }

    // A box closed without a choice answers as Escape would.
    std::unique_ptr<QMessageBox> box(cv::MessageBoxAlertPresenter::createMessageBox(request));
    EXPECT_EQ(cv::MessageBoxAlertPresenter::answerFor(box.get()), cv::AlertButton::Alternate);
}

// A short question keeps its one line and a long message a readable width,
// in Japanese too, however narrow the buttons; Japanese lines end after a
// clause, never inside a word.
TEST(MessageBoxAlertPresenter, AShortQuestionKeepsItsLineAndJapaneseBreaksAfterItsClauses)
{
    const char *messages[] = {"家計簿が開かれていません。終了するか、戻って家計簿を開くか作成してください。",
                              "この帳簿は読み出し専用で、ファイルを変更する権限がありません。「名前を付けて保存」で別の"
                              "名前か別のフォルダに保存"
                              "してください。"};
    for (const char *message : messages) {
        cv::AlertRequest request;
        request.title = QString::fromUtf8("Corvane を終了しますか？");
        request.message = QString::fromUtf8(message);
        request.defaultButton = QString::fromUtf8("終了");
        request.alternateButton = QString::fromUtf8("戻る");
        std::unique_ptr<QMessageBox> box(cv::MessageBoxAlertPresenter::createMessageBox(request));
        box->show();
        QApplication::processEvents();
        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        const auto *more = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
        ASSERT_TRUE(label && more);
        EXPECT_LT(label->height(), 2 * label->fontMetrics().lineSpacing());
        // The message wraps at a width that reads well: lines of some forty characters.
        const QFontMetrics metrics = more->fontMetrics();
        // Each line fits the label, so Qt breaks none, and all but the last end a clause.
        const QStringList lines = more->text().split(u'\n');
        EXPECT_EQ(lines.join(QString()), request.message);
        EXPECT_LE(lines.size(), metrics.horizontalAdvance(request.message) / (40 * metrics.averageCharWidth()) + 1);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_LE(metrics.horizontalAdvance(lines[i]), more->contentsRect().width()) << lines[i].toStdString();
            if (i + 1 < lines.size()) {
                EXPECT_TRUE(QStringLiteral("、。").contains(lines[i].back()));
            }
        }
    }
}

TEST(MessageBoxAlertPresenter, EscapeAnswersTheAlternateButton)
{
    cv::MessageBoxAlertPresenter presenter;
    whenModalShows(pressEscape);
    EXPECT_EQ(presenter.runAlert(threeButtons()), cv::AlertButton::Alternate);

    // With one button, Escape is that button.
    cv::AlertRequest single;
    single.title = QStringLiteral("Note");
    single.defaultButton = QStringLiteral("OK");
    whenModalShows(pressEscape);
    EXPECT_EQ(presenter.runAlert(single), cv::AlertButton::Default);
}

TEST(MessageBoxAlertPresenter, WindowModalWhenGivenAWindow)
{
    QWidget window;
    window.show();
    cv::AlertRequest request = threeButtons();
    request.window = &window;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget *parent = nullptr;
    cv::MessageBoxAlertPresenter presenter;
    whenModalShows([&](QWidget *box) {
        modality = box->windowModality();
        parent = box->parentWidget();
        buttonTitled(box, QStringLiteral("Don't Save"))->click();
    });
    EXPECT_EQ(presenter.runAlert(request), cv::AlertButton::Other);
    EXPECT_EQ(modality, Qt::WindowModal);
    EXPECT_EQ(parent, &window);
}
