#pragma once
// The one month calendar popup of the process. It opens next to a date cell,
// a date field or any view, shows a grid of whole weeks (neighbouring months'
// days greyed), Sundays and Japanese holidays red, Saturdays blue, and in
// Japanese the holiday and rokuyō of the selected day. The picked date goes
// along the posting chain: the view when it is a DateReceiver, a
// DateTableTarget table, the view's window, then the modal or active window.

#include "controls/DateCellCalendar.h"

#include <QDate>
#include <QFrame>
#include <QPoint>
#include <QPointer>

#include <optional>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace cv {

class CalendarPopup : public QFrame, public DateCellCalendar {
    Q_OBJECT
public:
    static constexpr int kMinYear = 1980;
    static constexpr int kMaxYear = 2100;

    // Made on first use, deleted when the application quits.
    static CalendarPopup *get();

    // Opens at the point (global) for the view, or closes when shown; a
    // second toggle at the same point while shown only closes.
    void toggleRelativeToPoint(const QPoint &point, QWidget *view, const QDate &date);
    void toggleRelativeToPoint(const QPoint &point, QWidget *view);
    void toggleForTable(const QPoint &anchor, EditingTable *table, const QDate &date) override;
    void closeCalendar();

    void setDate(const QDate &date);
    bool isDateSelected(const QDate &date) const;
    // The day a cell stands for, and whether it lies in the shown month;
    // column and row may lie one step outside the grid.
    std::pair<QDate, bool> calcDateFromColumn(int column, int row) const;

    void minusYear();
    void plusYear();
    void minusMonth();
    void plusMonth();
    void todayPushed(bool doubleClick);
    void clicked(int row, int column);
    void doubleClicked(int row, int column);
    void pressedReturn();
    // Arrow keys: moves the selected day and turns the page when it leaves the month.
    void moveSelection(int days);

    // What is shown.
    QDate selectedDate() const;
    int shownYear() const { return m_stepYear; }
    int shownMonth() const { return m_stepMonth; }
    int rowCount() const;
    QString cellText(int row, int column) const;
    QColor cellColor(int row, int column) const;
    bool cellIsSelected(int row, int column) const;
    QString caption() const;
    QString info() const;
    QWidget *targetView() const { return m_targetView; }
    QTableWidget *grid() const { return m_grid; }
    QPushButton *todayButton() const { return m_todayButton; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CalendarPopup();
    // Texts follow the language of each opening.
    void retranslate();
    void paramChanged(bool fromStepper);
    void setupTable();
    void setTodayField();
    void postDate(const QDate &date);
    QColor dayColor(const QDate &date, int column) const;

    QLabel *m_caption; // the shown month
    QLineEdit *m_yearField;
    QLineEdit *m_monthField;
    QLabel *m_yearLabel;
    QLabel *m_monthLabel;
    QTableWidget *m_grid;
    QLabel *m_info; // holiday and rokuyō (Japanese only)
    QPushButton *m_todayButton;

    int m_fieldYear = 2001, m_fieldMonth = 1; // the selected date's year and month
    int m_stepYear = 2001, m_stepMonth = 1;   // the month whose grid is shown
    int m_theDay = 1;
    int m_initX = 0; // weekday of the 1st (0 = Sunday)
    int m_daysOfMonth = 31;
    int m_lastMonthLastDay = 31;
    std::optional<QPoint> m_startingPoint; // the anchor of the last opening
    QPointer<QWidget> m_targetView;
};

} // namespace cv
