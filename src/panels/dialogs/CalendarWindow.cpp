#include "panels/dialogs/CalendarWindow.h"

#include "model/JapaneseHoliday.h"
#include "panels/dialogs/FrontWindow.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace cv {

namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2100;

// The mark of every tenth day: a small ring.
QPixmap tenthDayMark()
{
    QPixmap pixmap(10, 10);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xd0, 0x40, 0x40), 1.5));
    painter.drawEllipse(QRectF(1.5, 1.5, 7, 7));
    painter.end();
    return pixmap;
}

} // namespace

CalendarWindow::CalendarWindow(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(cv::localizedString(QStringLiteral("Calendar-Title")));
    cv::trackFrontWindow();
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_dateField = new QLabel(this);
    m_yearStepper = new QSpinBox(this);
    m_yearStepper->setRange(kFirstYear, kLastYear);
    m_monthStepper = new QSpinBox(this);
    m_monthStepper->setRange(1, 12);
    m_monthStepper->setWrapping(true);
    top->addWidget(m_dateField, 1);
    top->addWidget(m_yearStepper);
    top->addWidget(m_monthStepper);
    layout->addLayout(top);

    auto *grid = new QGridLayout;
    grid->setSpacing(1);
    const char *weekdays[] = {"Calendar-Sun", "Calendar-Mon", "Calendar-Tue", "Calendar-Wed",
                              "Calendar-Thu", "Calendar-Fri", "Calendar-Sat"};
    for (int column = 0; column < 7; ++column) {
        auto *label = new QLabel(cv::localizedString(weekdays[column]), this);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column);
    }
    for (int i = 0; i < kCells; ++i) {
        auto *cell = new QToolButton(this);
        cell->setCheckable(true);
        cell->setAutoExclusive(true);
        cell->setFixedSize(56, 50);
        auto *text = new QLabel(cell);
        text->setAttribute(Qt::WA_TransparentForMouseEvents);
        text->setAlignment(Qt::AlignCenter);
        text->setGeometry(0, 8, 56, 42);
        QFont font = text->font();
        font.setPixelSize(9);
        text->setFont(font);
        auto *markLabel = new QLabel(cell);
        markLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
        markLabel->setGeometry(4, 4, 10, 10);
        m_cells[i] = cell;
        m_cellTexts[i] = text;
        m_cellMarks[i] = markLabel;
        connect(cell, &QToolButton::clicked, this, [this, i] {
            if (m_cellDays[i] > 0) clicked(m_cellDays[i]);
        });
        grid->addWidget(cell, 1 + i / 7, i % 7);
    }
    layout->addLayout(grid);

    auto *bottom = new QHBoxLayout;
    auto *todayButton = new QPushButton(cv::localizedString(QStringLiteral("Calendar-Today")), this);
    auto *jumpButton = new QPushButton(cv::localizedString(QStringLiteral("Calendar-Jump")), this);
    bottom->addWidget(todayButton);
    bottom->addStretch(1);
    bottom->addWidget(jumpButton);
    layout->addLayout(bottom);
    connect(todayButton, &QPushButton::clicked, this, &CalendarWindow::today);
    connect(jumpButton, &QPushButton::clicked, this, &CalendarWindow::jumpTo);
    connect(m_monthStepper, &QSpinBox::valueChanged, this, &CalendarWindow::changeMonth);
    connect(m_yearStepper, &QSpinBox::valueChanged, this, &CalendarWindow::changeMonth);
    today();
}

CalendarWindow *CalendarWindow::openCalendarWindow()
{
    static QPointer<CalendarWindow> window;
    if (!window) {
        window = new CalendarWindow;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    }
    window->show();
    window->raise();
    return window;
}

void CalendarWindow::setCurrentDate(const QDate &date)
{
    if (!date.isValid()) return;
    m_currentDate = QDate(std::clamp(date.year(), kFirstYear, kLastYear), date.month(), 1).addDays(date.day() - 1);
    showDate();
    setupTable();
}

void CalendarWindow::today()
{
    setCurrentDate(QDate::currentDate());
}

void CalendarWindow::showDate()
{
    m_updating = true;
    m_dateField->setText(cv::formatProgramDate(m_currentDate));
    m_yearStepper->setValue(m_currentDate.year());
    m_monthStepper->setValue(m_currentDate.month());
    m_shownMonth = m_currentDate.month();
    m_updating = false;
}

void CalendarWindow::stepMonth(int steps)
{
    m_monthStepper->stepBy(steps);
}

void CalendarWindow::changeMonth()
{
    if (m_updating) return;
    int months = m_monthStepper->value() - m_shownMonth;
    // The wrapping stepper goes 12 -> 1 and 1 -> 12: one month, not eleven back.
    if (m_shownMonth == 12 && m_monthStepper->value() == 1) months = 1;
    if (m_shownMonth == 1 && m_monthStepper->value() == 12) months = -1;
    const int years = m_yearStepper->value() - m_currentDate.year();
    QDate moved = m_currentDate.addYears(years).addMonths(months);
    if (moved.year() < kFirstYear || moved.year() > kLastYear) moved = m_currentDate;
    setCurrentDate(moved);
}

void CalendarWindow::setupTable()
{
    static const QPixmap mark = tenthDayMark();
    const QDate first(m_currentDate.year(), m_currentDate.month(), 1);
    const int blanks = first.dayOfWeek() % 7; // Sunday first
    const int days = first.daysInMonth();
    for (int i = 0; i < kCells; ++i) {
        const int day = i - blanks + 1;
        const bool blank = day < 1 || day > days;
        m_cellDays[i] = blank ? 0 : day;
        m_cells[i]->setEnabled(!blank);
        m_cells[i]->setAutoRaise(blank);
        m_cellMarks[i]->setPixmap(!blank && day % 10 == 0 ? mark : QPixmap());
        if (blank) {
            m_cellColors[i] = QColor();
            m_cellTexts[i]->clear();
            m_cells[i]->setChecked(false);
            continue;
        }
        const QDate date(first.year(), first.month(), day);
        const QString holiday = JapaneseHoliday(date);
        QColor color = Qt::black;
        if (date.dayOfWeek() == 6) color = Qt::blue;
        if (!holiday.isEmpty()) color = Qt::red;
        m_cellColors[i] = color;
        const QString cycle = lunarDate(date);
        m_cellTexts[i]->setText(QStringLiteral("<span style='color:%1;font-size:12px'><b>%2</b></span><br>%3<br>"
                                               "<span style='color:%1'>%4</span>")
                                    .arg(color.name())
                                    .arg(day)
                                    .arg(cycle.isEmpty() ? QStringLiteral("&nbsp;") : cycle.toHtmlEscaped())
                                    .arg(holiday.isEmpty() ? QStringLiteral("&nbsp;") : holiday.toHtmlEscaped()));
        m_cells[i]->setChecked(day == m_currentDate.day());
    }
}

void CalendarWindow::clicked(int day)
{
    const QDate date(m_currentDate.year(), m_currentDate.month(), day);
    if (!date.isValid()) return;
    m_currentDate = date;
    showDate();
    for (int i = 0; i < kCells; ++i) m_cells[i]->setChecked(m_cellDays[i] == day);
}

void CalendarWindow::jumpTo()
{
    cv::postInputDate(this, m_currentDate);
}

int CalendarWindow::cellDay(int index) const
{
    return index >= 0 && index < kCells ? m_cellDays[index] : 0;
}

QColor CalendarWindow::cellColor(int index) const
{
    return index >= 0 && index < kCells ? m_cellColors[index] : QColor();
}

} // namespace cv
