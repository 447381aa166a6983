#pragma once
// A date entry: a line edit with the program's date text and a 29 px
// calendar button that opens the popup calendar over it. date() answers "no
// date" for empty or unreadable text and for a year more than 100 years
// away, never the current date.

#include "controls/DateReceiver.h"

#include <QDate>
#include <QWidget>

#include <optional>

class QLineEdit;
class QToolButton;

namespace cv {

class DateField : public QWidget, public DateReceiver {
    Q_OBJECT
public:
    static constexpr int kButtonWidth = 29;
    static constexpr int kYearReach = 100;

    explicit DateField(QWidget *parent = nullptr);
    ~DateField() override;

    std::optional<QDate> date() const;
    void setDate(const QDate &date);
    void setStringValue(const QString &text);
    QString stringValue() const;
    void selectText();
    QLineEdit *textField() const { return m_textField; }
    QToolButton *button() const { return m_button; }

    // The calendar button: opens the calendar on the field's date (today when unreadable).
    void pushed();
    void performInputDate(const QDate &date) override;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The date was set, or an edit ended.
    void dateChanged(cv::DateField *field);
    void textChanged(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutParts();

    QLineEdit *m_textField;
    QToolButton *m_button;
};

} // namespace cv
