#pragma once
// The sheet of the book's fiscal calendar: the first month of the year, the
// first day of the week and the first day of the month (1 to 28, so every
// month has it). OK writes only what differs and ends with 1 plus 16 (month),
// 32 (weekday) and 64 (day of the month); Cancel ends with 0. The opener
// commits the settings and rebuilds what depends on them.

#include <QDialog>

#include <functional>

class QComboBox;
class QPushButton;

namespace cv {

class Book;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    enum Changed { MonthChanged = 16, WeekdayChanged = 32, DayChanged = 64 };
    static constexpr int kLastFirstDay = 28;

    explicit SettingsDialog(Book *document, QWidget *parent = nullptr);

    static SettingsDialog *openSettingsPanel(Book *document, QWidget *parent,
                                             std::function<void(int, SettingsDialog *)> done);

    QComboBox *monthButton() const { return m_monthButton; }
    QComboBox *weekdayButton() const { return m_weekdayButton; }
    QComboBox *dayButton() const { return m_dayButton; }
    QPushButton *okButton() const { return m_okButton; }

    void okPushed();
    void cancelPushed() { done(0); }
    void accept() override { okPushed(); }

private:
    Book *m_document;         // not owned; outlives the sheet
    QComboBox *m_monthButton; // children
    QComboBox *m_weekdayButton;
    QComboBox *m_dayButton;
    QPushButton *m_okButton = nullptr;
};

} // namespace cv
