#include "mainwindow/InvestmentPage.h"

namespace cv {

InvestmentPage::InvestmentPage(CV4Document *document, QWidget *parent) : WindowPage(QStringLiteral("TB06"), document, parent)
{
    addHeading();
}

} // namespace cv
