#include "mainwindow/pages/TemporaryPage.h"

#include <QVBoxLayout>

namespace cv {

TemporaryPage::TemporaryPage(Book *document, QWidget *parent) : WindowPage(QString(), document, parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void TemporaryPage::setPanel(QWidget *panel)
{
    if (m_panel) m_panel->deleteLater();
    m_panel = panel;
    if (panel) layout()->addWidget(panel);
}

} // namespace cv
