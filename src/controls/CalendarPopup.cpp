#include "controls/CalendarPopup.h"

#include "controls/DateReceiver.h"
#include "controls/EditingTable.h"
#include "controls/DateTableTarget.h"
#include "controls/PopupManager.h"
#include "model/JapaneseHoliday.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace cv {

namespace {

const QColor kHolidayColor(Qt::red);
const QColor kSaturdayColor(Qt::blue);
const QColor kWeekdayColor(Qt::black);
const QColor kSelectedText = QColor::fromRgbF(0.368627f, 0.603922f, 0.215686f, 1.0f);
const QColor kSelectedBackground(0xb3, 0xd7, 0xff); // the selected-control colour
const QColor kOtherMonthGrey(Qt::lightGray);
constexpr int kCellWidth = 30;
constexpr int kCellHeight = 20;

QColor blendTowardGrey(const QColor &color)
{
    const auto mix = [](int a, int b) { return (a + 3 * b + 2) / 4; };
    return QColor(mix(color.red(), kOtherMonthGrey.red()), mix(color.green(), kOtherMonthGrey.green()),
                  mix(color.blue(), kOtherMonthGrey.blue()));
}

QToolButton *stepButton(const QString &title, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(title);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLineEdit *numberField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(48);
    return field;
}

} // namespace

CalendarPopup *CalendarPopup::get()
{
    static QPointer<CalendarPopup> controller;
    if (!controller) {
        controller = new CalendarPopup;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, controller, &QObject::deleteLater);
    }
    return controller;
}

CalendarPopup::CalendarPopup() : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameShape(QFrame::StyledPanel);

    m_caption = new QLabel(this);
    m_caption->setAlignment(Qt::AlignCenter);
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    m_caption->setFont(captionFont);

    m_yearField = numberField(this);
    m_monthField = numberField(this);
    auto *minusYearButton = stepButton(QStringLiteral("◀"), this);
    auto *plusYearButton = stepButton(QStringLiteral("▶"), this);
    auto *minusMonthButton = stepButton(QStringLiteral("◀"), this);
    auto *plusMonthButton = stepButton(QStringLiteral("▶"), this);
    connect(minusYearButton, &QToolButton::clicked, this, [this] { minusYear(); });
    connect(plusYearButton, &QToolButton::clicked, this, [this] { plusYear(); });
    connect(minusMonthButton, &QToolButton::clicked, this, [this] { minusMonth(); });
    connect(plusMonthButton, &QToolButton::clicked, this, [this] { plusMonth(); });

    auto *steppers = new QHBoxLayout;
    steppers->setSpacing(2);
    steppers->addWidget(minusYearButton);
    steppers->addWidget(m_yearField);
    m_yearLabel = new QLabel(this);
    steppers->addWidget(m_yearLabel);
    steppers->addWidget(plusYearButton);
    steppers->addStretch();
    steppers->addWidget(minusMonthButton);
    steppers->addWidget(m_monthField);
    m_monthLabel = new QLabel(this);
    steppers->addWidget(m_monthLabel);
    steppers->addWidget(plusMonthButton);

    m_grid = new QTableWidget(0, 7, this);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->verticalHeader()->hide();
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setShowGrid(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (QHeaderView *header : {m_grid->horizontalHeader(), m_grid->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    m_grid->horizontalHeader()->setDefaultSectionSize(kCellWidth);
    m_grid->verticalHeader()->setDefaultSectionSize(kCellHeight);
    m_grid->horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < 7; ++column) {
        auto *header = new QTableWidgetItem;
        if (column == 0) header->setForeground(kHolidayColor);
        if (column == 6) header->setForeground(kSaturdayColor);
        m_grid->setHorizontalHeaderItem(column, header);
    }
    m_grid->setFixedWidth(7 * kCellWidth + 2 * m_grid->frameWidth());
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row, int column) { clicked(row, column); });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { doubleClicked(row, column); });

    m_info = new QLabel(this);
    m_info->setAlignment(Qt::AlignCenter);
    m_todayButton = new QPushButton(this);
    m_todayButton->setFocusPolicy(Qt::NoFocus);
    m_todayButton->installEventFilter(this);
    connect(m_todayButton, &QPushButton::clicked, this, [this] { todayPushed(false); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(m_caption);
    layout->addLayout(steppers);
    layout->addWidget(m_grid, 0, Qt::AlignHCenter);
    layout->addWidget(m_info);
    layout->addWidget(m_todayButton, 0, Qt::AlignHCenter);

    setDate(QDate::currentDate());
    retranslate();
    setupTable();
    setTodayField();
}

void CalendarPopup::retranslate()
{
    m_yearLabel->setText(localizedString(QStringLiteral("Calendar-Year")));
    m_monthLabel->setText(localizedString(QStringLiteral("Calendar-Month")));
    m_todayButton->setText(localizedString(QStringLiteral("Today")));
    for (int column = 0; column < 7; ++column)
        m_grid->horizontalHeaderItem(column)->setText(
            localizedString(QStringLiteral("Calendar-Weekday-%1").arg(column)));
}

void CalendarPopup::setDate(const QDate &date)
{
    if (!date.isValid()) return;
    m_fieldYear = m_stepYear = date.year();
    m_fieldMonth = m_stepMonth = date.month();
    m_theDay = date.day();
    m_yearField->setText(QString::number(m_fieldYear));
    m_monthField->setText(QString::number(m_fieldMonth));
}

QDate CalendarPopup::selectedDate() const
{
    return QDate(m_fieldYear, m_fieldMonth, m_theDay);
}

bool CalendarPopup::isDateSelected(const QDate &date) const
{
    return date.year() == m_fieldYear && date.month() == m_fieldMonth && date.day() == m_theDay;
}

std::pair<QDate, bool> CalendarPopup::calcDateFromColumn(int column, int row) const
{
    const QDate first(m_stepYear, m_stepMonth, 1);
    const int day = row * 7 + column - m_initX + 1;
    if (day >= 1 && day <= m_daysOfMonth) return {first.addDays(day - 1), true};
    if (day > m_daysOfMonth) return {first.addMonths(1).addDays(day - m_daysOfMonth - 1), false};
    return {first.addDays(day - 1), false};
}

int CalendarPopup::rowCount() const
{
    return (m_daysOfMonth + m_initX + 6) / 7;
}

QColor CalendarPopup::dayColor(const QDate &date, int column) const
{
    if (column == 0 || !JapaneseHoliday4(date.year(), date.month(), date.day(), column == 1).isEmpty())
        return kHolidayColor;
    if (column == 6) return kSaturdayColor;
    return kWeekdayColor;
}

void CalendarPopup::setupTable()
{
    const QDate first(m_stepYear, m_stepMonth, 1);
    m_initX = first.dayOfWeek() % 7;
    m_daysOfMonth = first.daysInMonth();
    m_lastMonthLastDay = first.addDays(-1).day();
    const int rows = rowCount();
    m_grid->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < 7; ++column) {
            const auto [date, inMonth] = calcDateFromColumn(column, row);
            auto *item = new QTableWidgetItem(QString::number(date.day()));
            item->setTextAlignment(Qt::AlignCenter);
            const QColor color = dayColor(date, column);
            if (isDateSelected(date)) {
                item->setBackground(kSelectedBackground);
                item->setForeground(kSelectedText);
                item->setData(Qt::UserRole, true);
            } else {
                item->setForeground(inMonth ? color : blendTowardGrey(color));
            }
            m_grid->setItem(row, column, item);
        }
    }
    m_grid->setFixedHeight(m_grid->horizontalHeader()->sizeHint().height() + rows * kCellHeight +
                           2 * m_grid->frameWidth());
    adjustSize();
}

void CalendarPopup::setTodayField()
{
    const int day = std::min(m_theDay, QDate(m_stepYear, m_stepMonth, 1).daysInMonth());
    const QDate date(m_stepYear, m_stepMonth, day);
    if (isJapanese()) {
        m_caption->setText(
            formatString(localizedString(QStringLiteral("Calendar-Month-Caption")), {m_stepYear, m_stepMonth}));
        const QString holiday = JapaneseHoliday(QDate(m_fieldYear, m_fieldMonth, m_theDay));
        m_info->setText(holiday + (holiday.isEmpty() ? QString() : QStringLiteral(", ")) +
                        lunarDate(QDate(m_fieldYear, m_fieldMonth, m_theDay)));
    } else {
        m_caption->setText(formatDate(date, QStringLiteral("%Y/%m")));
    }
    m_info->setVisible(isJapanese());
}

void CalendarPopup::paramChanged(bool fromStepper)
{
    if (fromStepper) {
        m_fieldYear = m_stepYear;
        m_fieldMonth = m_stepMonth;
        m_yearField->setText(QString::number(m_fieldYear));
        m_monthField->setText(QString::number(m_fieldMonth));
    }
    m_theDay = std::min(m_theDay, QDate(m_stepYear, m_stepMonth, 1).daysInMonth());
    if (fromStepper) {
        setupTable();
        setTodayField();
    }
}

void CalendarPopup::minusYear()
{
    if (m_stepYear <= kMinYear) return;
    --m_stepYear;
    paramChanged(true);
}

void CalendarPopup::plusYear()
{
    if (m_stepYear >= kMaxYear) return;
    ++m_stepYear;
    paramChanged(true);
}

void CalendarPopup::minusMonth()
{
    if (--m_stepMonth < 1) {
        m_stepMonth = 12;
        --m_stepYear;
    }
    paramChanged(true);
}

void CalendarPopup::plusMonth()
{
    if (++m_stepMonth > 12) {
        m_stepMonth = 1;
        ++m_stepYear;
    }
    paramChanged(true);
}

void CalendarPopup::todayPushed(bool doubleClick)
{
    const QDate today = QDate::currentDate();
    if (!doubleClick && !isDateSelected(today)) {
        setDate(today);
        setupTable();
        setTodayField();
        return;
    }
    closeCalendar();
    postDate(today);
}

void CalendarPopup::clicked(int row, int column)
{
    if (!isVisible() || row < 0 || column < 0) return;
    const QDate date = calcDateFromColumn(column, row).first;
    if (isDateSelected(date)) {
        closeCalendar();
        postDate(date);
        return;
    }
    // A day of a neighbouring month is selected without turning the page.
    m_fieldYear = date.year();
    m_fieldMonth = date.month();
    m_theDay = date.day();
    m_yearField->setText(QString::number(m_fieldYear));
    m_monthField->setText(QString::number(m_fieldMonth));
    setupTable();
    setTodayField();
}

void CalendarPopup::doubleClicked(int row, int column)
{
    if (!isVisible() || row < 0 || column < 0) return;
    const QDate date = calcDateFromColumn(column, row).first;
    closeCalendar();
    postDate(date);
}

void CalendarPopup::pressedReturn()
{
    const QDate date = selectedDate();
    closeCalendar();
    postDate(date);
}

void CalendarPopup::moveSelection(int days)
{
    const QDate date = selectedDate().addDays(days);
    if (!date.isValid()) return;
    setDate(date);
    setupTable();
    setTodayField();
}

QString CalendarPopup::cellText(int row, int column) const
{
    const QTableWidgetItem *item = m_grid->item(row, column);
    return item ? item->text() : QString();
}

QColor CalendarPopup::cellColor(int row, int column) const
{
    const QTableWidgetItem *item = m_grid->item(row, column);
    return item ? item->foreground().color() : QColor();
}

bool CalendarPopup::cellIsSelected(int row, int column) const
{
    const QTableWidgetItem *item = m_grid->item(row, column);
    return item && item->data(Qt::UserRole).toBool();
}

QString CalendarPopup::caption() const
{
    return m_caption->text();
}

QString CalendarPopup::info() const
{
    return m_info->text();
}

void CalendarPopup::toggleRelativeToPoint(const QPoint &point, QWidget *view)
{
    toggleRelativeToPoint(point, view, QDate::currentDate());
}

void CalendarPopup::toggleRelativeToPoint(const QPoint &point, QWidget *view, const QDate &date)
{
    // Only a shown calendar toggles shut: one closed by an outside click
    // reopens at the same place.
    if (isVisible()) {
        closeCalendar();
        if (m_startingPoint == point) return;
    }
    retranslate();
    setDate(date.isValid() ? date : QDate::currentDate());
    setupTable();
    setTodayField();
    adjustSize();

    QScreen *screen = view ? view->screen() : QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    QPoint topLeft = point;
    if (!qobject_cast<QAbstractItemView *>(view)) topLeft.setY(std::min(point.y(), available.bottom() + 1 - height()));
    topLeft.setX(
        std::clamp(topLeft.x(), available.left(), std::max(available.left(), available.right() + 1 - width())));
    topLeft.setY(std::max(topLeft.y(), available.top()));
    move(topLeft);
    show();
    raise();
    activateWindow();
    PopupManager::Options options;
    QPointer<CalendarPopup> self(this);
    options.controllerClose = [self] {
        if (self) self->closeCalendar();
    };
    PopupManager::popupManager()->begin(this, options);
    m_startingPoint = point;
    m_targetView = view;
}

void CalendarPopup::toggleForTable(const QPoint &anchor, EditingTable *table, const QDate &date)
{
    if (!table) return;
    toggleRelativeToPoint(table->viewport()->mapToGlobal(anchor), table, date);
}

void CalendarPopup::closeCalendar()
{
    if (isVisible()) hide();
}

void CalendarPopup::postDate(const QDate &date)
{
    QWidget *target = m_targetView;
    if (auto *receiver = dynamic_cast<DateReceiver *>(target)) {
        receiver->performInputDate(date);
        return;
    }
    if (target) {
        target->setFocus();
        if (auto *table = dynamic_cast<DateTableTarget *>(target)) {
            table->postDateToSelectedRow(date);
            return;
        }
        if (auto *windowReceiver = dynamic_cast<DateReceiver *>(target->window())) {
            windowReceiver->performInputDate(date);
            return;
        }
    }
    QWidget *window = QApplication::activeModalWidget();
    if (!window) window = QApplication::activeWindow();
    if (window == this) window = nullptr;
    if (auto *receiver = dynamic_cast<DateReceiver *>(window)) receiver->performInputDate(date);
}

void CalendarPopup::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up: moveSelection(-7); break;
    case Qt::Key_Down: moveSelection(7); break;
    case Qt::Key_Left: moveSelection(-1); break;
    case Qt::Key_Right: moveSelection(1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: pressedReturn(); break;
    case Qt::Key_Escape: closeCalendar(); break;
    default: event->ignore(); return;
    }
    event->accept();
}

bool CalendarPopup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_todayButton && event->type() == QEvent::MouseButtonDblClick) {
        todayPushed(true);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void CalendarPopup::mousePressEvent(QMouseEvent *event)
{
    if (!PopupManager::popupManager()->popupMousePress(this, event)) QFrame::mousePressEvent(event);
}

} // namespace cv
