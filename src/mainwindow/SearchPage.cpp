#include "mainwindow/SearchPage.h"

namespace cv {

SearchPage::SearchPage(CV4Document *document, QWidget *parent) : WindowPage(QStringLiteral("TB02"), document, parent)
{
    addHeading();
}

void SearchPage::commitPendingInput()
{
    if (!m_resultsPanel) return;
    QMetaObject::invokeMethod(m_resultsPanel, "apply");
}

} // namespace cv
