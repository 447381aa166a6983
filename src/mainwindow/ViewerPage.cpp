#include "mainwindow/ViewerPage.h"

namespace cv {

ViewerPage::ViewerPage(CV4Document *document, QWidget *parent) : WindowPage(QStringLiteral("TB01"), document, parent)
{
    addHeading();
}

} // namespace cv
