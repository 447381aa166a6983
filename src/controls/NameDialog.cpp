#include "controls/NameDialog.h"

#include "platform/Alert.h"
#include "controls/DialogButtons.h"
#include "platform/Localization.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cv {

namespace {
constexpr int kMinimumWidth = 320;
constexpr int kTitleBarButtons = 120; // the title bar's buttons and margins
} // namespace

NameDialog::NameDialog(const QString &name, const QString &title, bool mustChange, QWidget *parent)
    : QDialog(parent), m_name(name), m_must(mustChange)
{
    setWindowTitle(title);
    setModal(true);
    // A short name must not leave the title bar too narrow for its title
    // (bold in most title bars), beside the window's buttons.
    QFont titleFont = font();
    titleFont.setBold(true);
    setMinimumWidth(std::max(kMinimumWidth, QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarButtons));
    auto *layout = new QVBoxLayout(this);
    if (!title.isEmpty()) layout->addWidget(new QLabel(title, this));
    // Names are typed in the user's own input method, so no Latin hint here.
    m_nameField = new QLineEdit(name, this);
    m_nameField->selectAll();
    layout->addWidget(m_nameField);
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;
    connect(m_nameField, &QLineEdit::textChanged, this, [this] { m_okButton->setEnabled(isAcceptable()); });
    m_okButton->setEnabled(isAcceptable());
}

QString NameDialog::name() const
{
    return m_nameField->text();
}

bool NameDialog::isAcceptable() const
{
    return cv::isAcceptableName(name(), m_name, m_must);
}

void NameDialog::accept()
{
    // Return in the field must not get past a refused name.
    if (isAcceptable()) QDialog::accept();
}

} // namespace cv
