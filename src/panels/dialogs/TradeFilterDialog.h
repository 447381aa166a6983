#pragma once
// Narrows the trade panel's rows: a date range and, when its box is ticked,
// a set of trade kinds. The trade panel keeps one for its lifetime, so the
// dialog shows the last choice again. exec() answers 1 for OK, 0 for Cancel;
// the close box counts as OK only while OK is enabled.

#include "model/DomainEnums.h"

#include <QDate>
#include <QDialog>

#include <map>
#include <optional>

class QCheckBox;
class QPushButton;

namespace cv {

class DateField;

class TradeFilterDialog : public QDialog {
    Q_OBJECT

public:
    // Either date may be invalid: that field starts empty.
    TradeFilterDialog(const QDate &start, const QDate &end, QWidget *parent = nullptr);

    // The date of field 0 (start) or 1 (end); none when it does not read.
    std::optional<QDate> date(int index) const;
    // Bit k: kind k is listed; 0 (every kind) while the box is off.
    quint32 flags() const;

    cv::DateField *dateField(int index) const { return index == 0 ? m_startField : m_endField; }
    QCheckBox *typeCheckbox() const { return m_typeCheckbox; }
    // The check box of a trade kind; null for a kind that is not offered.
    QCheckBox *kindBox(cv::TradeKind kind) const;
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    void done(int code) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void stateChanged();
    void setButtons();

    cv::DateField *m_startField;
    cv::DateField *m_endField;
    QCheckBox *m_typeCheckbox;
    std::map<cv::TradeKind, QCheckBox *> m_kindBoxes; // trade kind -> its box; children
    quint32 m_flags = 0;                              // ticked kinds, whatever the box says
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    bool m_ending = false; // done() runs: its close is no close box
};

} // namespace cv
