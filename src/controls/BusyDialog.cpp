#include "controls/BusyDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace cv {

BusyDialog::BusyDialog(const QString &title, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_messageField = new QLabel(title, this);
    layout->addWidget(m_messageField);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setRange(0, 0); // indeterminate
    m_progressBar->setTextVisible(false);
    layout->addWidget(m_progressBar);
}

void BusyDialog::closeEvent(QCloseEvent *event)
{
    // The reading goes on: only the caller closes the window.
    if (event->spontaneous())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

} // namespace cv
