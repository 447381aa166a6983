#include "mainwindow/BudgetPage.h"

namespace cv {

BudgetPage::BudgetPage(CV4Document *document, QWidget *parent) : WindowPage(QStringLiteral("TB03"), document, parent)
{
    addHeading();
}

} // namespace cv
