#include "mainwindow/CurrencyPage.h"

namespace cv {

CurrencyPage::CurrencyPage(CV4Document *document, QWidget *parent) : WindowPage(QStringLiteral("TB05"), document, parent)
{
    addHeading();
}

} // namespace cv
