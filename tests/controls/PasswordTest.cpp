// The password sheet and dialog, and opening a protected book through them,
// driven offscreen by a timer that answers each dialog as it appears.

#include "controls/ControlsDocumentUI.h"
#include "controls/PasswordPrompt.h"
#include "controls/PasswordSheet.h"
#include "document/Book.h"
#include "document/BookBackup.h"
#include "document/BookTestAccess.h"
#include "document/store/WorkingFolder.h"
#include "platform/Localization.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>

#include <zlib.h>

namespace {

// Types the next entry into each password dialog that shows; an entry of
// none presses Cancel.
class PasswordTyper {
public:
    explicit PasswordTyper(std::deque<std::optional<QString>> entries) : m_entries(std::move(entries))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    int shown = 0;
    QStringList prompts; // each dialog's texts

private:
    void poll()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<cv::PasswordPrompt *>(w);
            if (!dialog || !dialog->isVisible() || m_answered.contains(dialog)) continue;
            m_answered.insert(dialog);
            ++shown;
            QStringList texts;
            for (const QLabel *label : dialog->findChildren<QLabel *>()) texts << label->text();
            prompts << texts.join(u' ');
            std::optional<QString> entry;
            if (!m_entries.empty()) {
                entry = m_entries.front();
                m_entries.pop_front();
            }
            if (!entry) {
                QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
            } else {
                QTest::keyClicks(dialog->passwordField(), *entry);
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            }
            // The dialog is gone after its run; a new one may reuse the address.
            QObject::connect(dialog, &QObject::destroyed, [this, dialog] { m_answered.remove(dialog); });
        }
    }
    std::deque<std::optional<QString>> m_entries;
    QSet<QWidget *> m_answered;
    QTimer m_timer;
};

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::setLanguageOverride(QStringLiteral("en"));
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
        cv::backup::setFolders(tmp.filePath(QStringLiteral("Backup")), tmp.filePath(QStringLiteral("Old")));
        cv::backup::setCountSource([] { return 0; });
        previous = cv::setDocumentUI(&ui);
    }
    void TearDown() override
    {
        cv::setDocumentUI(previous);
        cv::backup::setFolders(QString());
        cv::backup::setCountSource(nullptr);
        cv::work::setWorkFolder(QString());
    }

    // Sets the password through the sheet as a user would, and saves.
    void setPasswordAndSave(cv::Book &doc, const QString &current, const QString &password)
    {
        cv::PasswordSheet panel(doc.settings());
        QTest::keyClicks(panel.currentPasswordField(), current);
        QTest::keyClicks(panel.newPasswordField1(), password);
        QTest::keyClicks(panel.newPasswordField2(), password);
        ASSERT_TRUE(panel.okButton()->isEnabled());
        int code = -5;
        QObject::connect(&panel, &QDialog::finished, [&](int c) { code = c; });
        panel.open();
        QTest::mouseClick(panel.okButton(), Qt::LeftButton);
        EXPECT_EQ(code, 1);
        EXPECT_TRUE(doc.isDocumentEdited());
        ASSERT_TRUE(doc.writeToFile(path(), cv::Book::kTypeV2));
    }

    bool open(std::deque<std::optional<QString>> entries, int *shown = nullptr, QStringList *prompts = nullptr)
    {
        PasswordTyper typer(std::move(entries));
        cv::Book doc;
        const bool ok = doc.initWithContentsOfFile(path(), cv::Book::kTypeV2);
        if (shown) *shown = typer.shown;
        if (prompts) *prompts = typer.prompts;
        return ok;
    }

    QString path() const { return tmp.filePath(QStringLiteral("Secret.cvv2")); }

    QTemporaryDir tmp;
    cv::ControlsDocumentUI ui;
    cv::BookUI *previous = nullptr;
};

} // namespace

TEST_F(PasswordTest, ProtectedBookOpensWithTheRightPasswordWithinThreeTries)
{
    cv::Book doc;
    cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("default"));
    setPasswordAndSave(doc, QString(), QStringLiteral("abc"));

    int shown = 0;
    QStringList prompts;
    EXPECT_TRUE(open({QStringLiteral("x"), QStringLiteral("ab"), QStringLiteral("abc")}, &shown, &prompts));
    EXPECT_EQ(shown, 3);
    // The prompt names the book; after a wrong entry it says so.
    ASSERT_EQ(prompts.size(), 3);
    for (int run = 0; run < 3; ++run) {
        EXPECT_TRUE(prompts[run].contains(QStringLiteral("Secret.cvv2"))) << prompts[run].toStdString();
        EXPECT_EQ(prompts[run].contains(QStringLiteral("wrong")), run > 0) << prompts[run].toStdString();
    }
    EXPECT_FALSE(open({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z"), QStringLiteral("abc")}, &shown));
    EXPECT_EQ(shown, 3);
    EXPECT_FALSE(open({std::nullopt}, &shown));
    EXPECT_EQ(shown, 1);

    // The password itself is nowhere in the file.
    gzFile in = gzopen(QFile::encodeName(path()).constData(), "rb");
    ASSERT_TRUE(in);
    QByteArray image;
    char buffer[8192];
    for (int n; (n = gzread(in, buffer, sizeof buffer)) > 0;) image.append(buffer, n);
    gzclose(in);
    ASSERT_TRUE(image.startsWith("KAVRICV4"));
    EXPECT_FALSE(image.contains("abc"));
    EXPECT_FALSE(image.contains(QStringLiteral("abc").toUtf8().toBase64()));

    // An empty new password removes the question.
    cv::Book reopened;
    {
        PasswordTyper typer({QStringLiteral("abc")});
        ASSERT_TRUE(reopened.initWithContentsOfFile(path(), cv::Book::kTypeV2));
    }
    setPasswordAndSave(reopened, QStringLiteral("abc"), QString());
    EXPECT_TRUE(open({}, &shown));
    EXPECT_EQ(shown, 0);
}

TEST_F(PasswordTest, SheetEnablesOkOnlyForTheRightCurrentPasswordAndEqualEntries)
{
    auto settings = std::make_shared<cv::Settings>();
    // The guard itself is driven through accept(): Return alone never reaches
    // it while OK is disabled, so it could not tell a missing guard.
    const struct {
        const char *what;
        QString current, first, second;
        bool accepted;
    } cases[] = {
        {"unequal new entries", QString(), QStringLiteral("pw"), QStringLiteral("px"), false},
        {"a wrong current password", QStringLiteral("q"), QStringLiteral("pw"), QStringLiteral("pw"), false},
        {"equal entries", QString(), QStringLiteral("pw"), QStringLiteral("pw"), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto fresh = std::make_shared<cv::Settings>();
        cv::PasswordSheet panel(fresh);
        EXPECT_TRUE(panel.okButton()->isEnabled()); // no password: empty current, equal empty entries
        QTest::keyClicks(panel.currentPasswordField(), c.current);
        QTest::keyClicks(panel.newPasswordField1(), c.first);
        QTest::keyClicks(panel.newPasswordField2(), c.second);
        EXPECT_EQ(panel.okButton()->isEnabled(), c.accepted);
        int code = -5;
        QObject::connect(&panel, &QDialog::finished, [&](int r) { code = r; });
        panel.open();
        panel.accept();
        EXPECT_EQ(code, c.accepted ? 1 : -5);
        EXPECT_EQ(fresh->hasPassword(), c.accepted);
        EXPECT_EQ(fresh->changed(), c.accepted);
    }
    settings->setPassword(QStringLiteral("pw"));
    cv::PasswordSheet panel(settings);
    EXPECT_FALSE(panel.okButton()->isEnabled());
    int code = -5;
    QObject::connect(&panel, &QDialog::finished, [&](int c) { code = c; });
    panel.open();
    // Typing derives no key (a pause per character); OK checks the entry and
    // a wrong one keeps the sheet open with the field emptied.
    QTest::keyClicks(panel.currentPasswordField(), QStringLiteral("px"));
    QTest::keyClicks(panel.newPasswordField1(), QStringLiteral("new"));
    QTest::keyClicks(panel.newPasswordField2(), QStringLiteral("new"));
    EXPECT_TRUE(panel.okButton()->isEnabled());
    QTest::mouseClick(panel.okButton(), Qt::LeftButton);
    EXPECT_EQ(code, -5);
    EXPECT_TRUE(panel.currentPasswordField()->text().isEmpty());
    EXPECT_TRUE(settings->verifyPassword(QStringLiteral("pw")));
    QTest::keyClicks(panel.currentPasswordField(), QStringLiteral("pw"));
    EXPECT_TRUE(panel.okButton()->isEnabled());
    QTest::mouseClick(panel.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(settings->verifyPassword(QStringLiteral("pw")));

    // The dialog for a book without a password: only an empty entry is right.
    cv::Settings none;
    cv::PasswordPrompt empty(none);
    QTimer::singleShot(0, &empty, [&] { QTest::mouseClick(empty.okButton(), Qt::LeftButton); });
    EXPECT_EQ(empty.exec(), 1);
    QTimer::singleShot(0, &empty, [&] {
        QTest::keyClicks(empty.passwordField(), QStringLiteral("a"));
        QTest::mouseClick(empty.okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(empty.exec(), 0);
    EXPECT_TRUE(empty.passwordField()->text().isEmpty()) << "a wrong entry does not stay in the field";
    QTimer::singleShot(0, &empty, [&] { QTest::keyClick(empty.passwordField(), Qt::Key_Escape); });
    EXPECT_EQ(empty.exec(), -1);
}
