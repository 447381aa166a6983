#pragma once
// The floating month calendar: day cells with the rokuyō and the holiday
// name, month and year steppers, a today button and a jump button that posts
// the chosen day to the front entry window (performInputDate).

#include <QColor>
#include <QDate>
#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace cv {

class CalendarWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCells = 42; // six weeks, Sunday first

    explicit CalendarWindow(QWidget *parent = nullptr);
    // The application's calendar window, made on first use, shown and raised.
    static CalendarWindow *openCalendarWindow();

    QDate currentDate() const { return m_currentDate; }
    void setCurrentDate(const QDate &date);
    void today();
    // The month stepper's arrows: +1 or -1; December steps on to January of
    // the next year, January back to December of the year before.
    void stepMonth(int steps);
    void clicked(int day);
    void jumpTo();

    // The cell's day of month, 0 for a blank cell.
    int cellDay(int index) const;
    QColor cellColor(int index) const;
    QSpinBox *monthStepper() const { return m_monthStepper; }
    QSpinBox *yearStepper() const { return m_yearStepper; }

private:
    void setupTable();
    void showDate();
    void changeMonth();

    QDate m_currentDate;                // the chosen day
    int m_shownMonth = 0;               // the month stepper's value before a change
    QLabel *m_dateField = nullptr;      // shows the chosen day
    QSpinBox *m_monthStepper = nullptr; // 1-12, wraps
    QSpinBox *m_yearStepper = nullptr;  // 1980-2100
    QToolButton *m_cells[kCells] = {};  // the grid, owned by the window
    QLabel *m_cellTexts[kCells] = {};   // each cell's three lines
    QLabel *m_cellMarks[kCells] = {};   // the ring of every tenth day
    int m_cellDays[kCells] = {};        // day of month, 0 = blank
    QColor m_cellColors[kCells];        // the day's colour
    bool m_updating = false;            // steppers being set from the date
};

} // namespace cv
