#include "mainwindow/StartupDialog.h"

#include "controls/DialogButtons.h"
#include "mainwindow/StartupCode.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace cv {

namespace {
constexpr int kMaxMessageWidth = 640;
} // namespace

StartupDialog::StartupDialog(bool isStartup, QWidget *parent) : QDialog(parent), m_isStartup(isStartup)
{
    setWindowTitle(cv::localizedString("InitialPanel Title"));
    auto *layout = new QVBoxLayout(this);
    m_welcomeLabel = new QLabel(cv::localizedString("InitialPanel Message"), this);
    m_welcomeLabel->setWordWrap(true);
    // Wide enough for the message on one line: Japanese text would otherwise
    // break anywhere, in the middle of a word.
    m_welcomeLabel->setMinimumWidth(
        std::min(m_welcomeLabel->fontMetrics().horizontalAdvance(m_welcomeLabel->text()) + 4, kMaxMessageWidth));
    layout->addWidget(m_welcomeLabel);
    m_messageLabel = new QLabel(this);
    m_messageLabel->setWordWrap(true);
    m_messageLabel->setObjectName(QStringLiteral("message"));
    m_messageLabel->setStyleSheet(QStringLiteral("font-weight: bold"));
    m_messageLabel->setVisible(false);
    layout->addWidget(m_messageLabel);

    auto *grid = new QGridLayout;
    m_openRecentButton = new QPushButton(cv::localizedString("InitialPanel Open Recent"), this);
    grid->addWidget(m_openRecentButton, 0, 0);
    m_recentNote = new QLabel(cv::localizedString("InitialPanel Open Recent Note"), this);
    grid->addWidget(m_recentNote, 0, 1, 1, 2);
    m_createNewButton = new QPushButton(cv::localizedString("InitialPanel Create New"), this);
    grid->addWidget(m_createNewButton, 1, 0);
    grid->addWidget(new QLabel(cv::localizedString("InitialPanel Template"), this), 1, 1);
    m_templateButton = new QComboBox(this);
    for (int i = 0; i < kTemplateCount; ++i)
        m_templateButton->addItem(
            cv::localizedString(QStringLiteral("InitialPanel Template %1").arg(i).toLatin1().constData()), i);
    grid->addWidget(m_templateButton, 1, 2);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    auto *bottom = new QHBoxLayout;
    m_neverAgainCheckbox = new QCheckBox(cv::localizedString("InitialPanel Never Again"), this);
    bottom->addWidget(m_neverAgainCheckbox);
    bottom->addStretch(1);
    m_closeButton = new QPushButton(cv::localizedString("InitialPanel Close"), this);
    bottom->addWidget(m_closeButton);
    layout->addLayout(bottom);

    for (QPushButton *button : {m_openRecentButton, m_createNewButton, m_closeButton}) {
        cv::giveTitleRoom(button);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, button] { buttonPushed(button); });
    }
    m_createNewButton->setDefault(true);
    if (!m_isStartup) {
        showRecent(false);
        m_neverAgainCheckbox->setEnabled(false);
    }
}

void StartupDialog::showRecent(bool shown)
{
    m_openRecentButton->setEnabled(shown);
    m_openRecentButton->setVisible(shown);
    m_recentNote->setVisible(shown);
    m_welcomeLabel->setText(cv::localizedString(shown ? "InitialPanel Message" : "InitialPanel Message New"));
}

void StartupDialog::setMessage(const QString &message)
{
    m_messageLabel->setText(message);
    m_messageLabel->setVisible(!message.isEmpty());
}

void StartupDialog::setRecentBook(const QString &path)
{
    showRecent(m_isStartup && !path.isEmpty());
    if (path.isEmpty()) return;
    m_recentNote->setText(
        cv::formatString(cv::localizedString("InitialPanel Open Recent Book %@"), {QFileInfo(path).fileName()}));
    m_recentNote->setToolTip(QDir::toNativeSeparators(path));
}

void StartupDialog::buttonPushed(QPushButton *sender)
{
    using cv::StartupCode;
    if (!sender->isEnabled()) return;
    const bool neverAgain = m_neverAgainCheckbox->isChecked();
    StartupCode::Action action = StartupCode::Close;
    if (sender == m_openRecentButton) action = StartupCode::OpenRecent;
    if (sender == m_createNewButton) action = StartupCode::CreateNew;
    done(StartupCode::encode(action, neverAgain, m_templateButton->currentData().toInt()));
}

} // namespace cv
