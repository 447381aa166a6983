#pragma once
// A message with a running indicator while a document is read. The caller
// shows it, does the work and closes it; the user cannot dismiss it.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace cv {

class BusyDialog : public QDialog {
    Q_OBJECT

public:
    explicit BusyDialog(const QString &title, QWidget *parent = nullptr);

    QProgressBar *progressBar() const { return m_progressBar; }
    QLabel *messageField() const { return m_messageField; }

    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QProgressBar *m_progressBar;
    QLabel *m_messageField;
};

} // namespace cv
