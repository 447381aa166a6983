#include "controls/CurrencyFormatter.h"
#include "controls/ControlsAlertPresenter.h"
#include "controls/NameDialog.h"
#include "document/Book.h"
#include "document/BookTestAccess.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Acts on the name dialog once it shows; whatever is left open is cancelled
// a little later, so a failing test cannot block the run.
void whenNameDialogShows(std::function<void(cv::NameDialog *)> action)
{
    auto *timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, action] {
        auto *dialog = qobject_cast<cv::NameDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (++*tries > 600) timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        QPointer<cv::NameDialog> watched = dialog;
        action(dialog);
        QTimer::singleShot(3000, qApp, [watched] {
            if (!watched || !watched->isVisible()) return;
            ADD_FAILURE() << "name dialog left open";
            watched->reject();
        });
    });
    timer->start(5);
}

class PresenterScope {
public:
    PresenterScope() : m_previous(cv::setAlertPresenter(&m_presenter)) {}
    ~PresenterScope() { cv::setAlertPresenter(m_previous); }

private:
    cv::ControlsAlertPresenter m_presenter;
    cv::AlertPresenter *m_previous;
};

} // namespace

TEST(ControlsAlertPresenterTest, InputNameRunsTheNameDialog)
{
    PresenterScope scope;
    whenNameDialogShows([](cv::NameDialog *d) {
        // Unchanged, the name is refused even by Return.
        QTest::keyClick(d->nameField(), Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        d->nameField()->end(false);
        QTest::keyClicks(d->nameField(), QStringLiteral(" 2"));
        QTest::keyClick(d->nameField(), Qt::Key_Return);
    });
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Bank"), QStringLiteral("Rename"), true), QStringLiteral("Bank 2"));

    whenNameDialogShows([](cv::NameDialog *d) {
        QTest::keyClicks(d->nameField(), QStringLiteral("Card"));
        QTest::keyClick(d->nameField(), Qt::Key_Escape);
    });
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Bank"), QStringLiteral("Rename")), std::nullopt);

    // The close box cancels too.
    whenNameDialogShows([](cv::NameDialog *d) { d->close(); });
    EXPECT_EQ(cv::Alert::inputName(QStringLiteral("Bank"), QStringLiteral("Rename")), std::nullopt);
}

TEST(ControlsAlertPresenterTest, DocumentFormatterAndInputHints)
{
    cv::setLanguageOverride(QStringLiteral("ja"));
    cv::Book doc;
    doc.amountText().loadFormats();
    auto yen = cv::Currency::currencyWith(QStringLiteral("Yen"), QStringLiteral("JPY"), QStringLiteral("¥"), 0);
    yen->setIdent(1);
    auto dollar = cv::Currency::currencyWith(QStringLiteral("Dollar"), QStringLiteral("USD"), QStringLiteral("$"), 2);
    dollar->setIdent(2);
    cv::BookTestAccess::setCurrencyList(doc, {yen, dollar});

    cv::CurrencyFormatter formatter(&doc, 2);
    EXPECT_EQ(formatter.stringForObjectValue(-1234.5), QStringLiteral("-1,234.50"));
    double value = 7;
    EXPECT_TRUE(formatter.getObjectValue(value, QStringLiteral("$1,234.50")));
    EXPECT_EQ(value, 1234.5);
    EXPECT_TRUE(formatter.getObjectValue(value, QStringLiteral("abc")));
    EXPECT_EQ(value, 0.0);
    formatter.setCurrency(1);
    EXPECT_EQ(formatter.stringForObjectValue(1234), QStringLiteral("1,234"));

    // Only a Japanese user's editors get input hints; the choice stays the user's.
    QLineEdit field;
    cv::changeTextInputSource(&field, false);
    EXPECT_TRUE(field.inputMethodHints().testFlag(Qt::ImhPreferLatin));
    cv::changeTextInputSource(&field, true);
    EXPECT_FALSE(field.inputMethodHints().testFlag(Qt::ImhPreferLatin));
    cv::setLanguageOverride(QStringLiteral("en"));
    cv::changeTextInputSource(&field, false);
    EXPECT_FALSE(field.inputMethodHints().testFlag(Qt::ImhPreferLatin));
    cv::changeTextInputSource(nullptr, false);
    cv::setLanguageOverride(QString());
}
