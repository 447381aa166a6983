#include "panels/sheets/SettingsDialog.h"

#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "controls/OpenSheet.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

namespace {
QString text(const QString &key)
{
    return cv::localizedString(key);
}
} // namespace

SettingsDialog::SettingsDialog(Book *document, QWidget *parent)
    : QDialog(parent), m_document(document), m_monthButton(new QComboBox(this)), m_weekdayButton(new QComboBox(this)),
      m_dayButton(new QComboBox(this))
{
    Q_ASSERT(document && document->settings());
    setWindowTitle(text(QStringLiteral("Settings-Panel-Title")));
    for (int month = 1; month <= 12; ++month)
        m_monthButton->addItem(text(QStringLiteral("Settings-Month-%1").arg(month)));
    for (int weekday = 0; weekday < 7; ++weekday)
        m_weekdayButton->addItem(text(QStringLiteral("Settings-Weekday-%1").arg(weekday)));
    for (int day = 1; day <= kLastFirstDay; ++day) m_dayButton->addItem(QString::number(day));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(text(QStringLiteral("Settings-Month")), m_monthButton);
    form->addRow(text(QStringLiteral("Settings-Weekday")), m_weekdayButton);
    form->addRow(text(QStringLiteral("Settings-Day")), m_dayButton);
    layout->addLayout(form);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;
    setMinimumWidth(320);

    if (const Settings *settings = document ? document->settings().get() : nullptr) {
        m_monthButton->setCurrentIndex(std::clamp(settings->fiscalMonthOfYear(), 0, 11));
        m_weekdayButton->setCurrentIndex(std::clamp(settings->fiscalWeekday(), 0, 6));
        m_dayButton->setCurrentIndex(std::clamp(settings->fiscalDayOfMonth(), 0, kLastFirstDay - 1));
    }
    m_okButton->setEnabled(false);
    for (QComboBox *popup : {m_monthButton, m_weekdayButton, m_dayButton})
        connect(popup, &QComboBox::currentIndexChanged, this, [this] { m_okButton->setEnabled(true); });
}

SettingsDialog *SettingsDialog::openSettingsPanel(Book *document, QWidget *parent,
                                                  std::function<void(int, SettingsDialog *)> done)
{
    if (!document || !document->settings()) return nullptr;
    return cv::openSheet(new SettingsDialog(document, parent), parent, std::move(done));
}

void SettingsDialog::okPushed()
{
    Settings *settings = m_document ? m_document->settings().get() : nullptr;
    if (!settings) {
        done(0);
        return;
    }
    const int month = m_monthButton->currentIndex();
    const int weekday = m_weekdayButton->currentIndex();
    const int day = m_dayButton->currentIndex();
    int code = 1;
    if (month != settings->fiscalMonthOfYear()) code |= MonthChanged;
    if (weekday != settings->fiscalWeekday()) code |= WeekdayChanged;
    if (day != settings->fiscalDayOfMonth()) code |= DayChanged;
    // A refused write leaves the settings as they were: the sheet stays open.
    if (!m_document->setFiscalStart(month, weekday, day)) return;
    done(code);
}

} // namespace cv
