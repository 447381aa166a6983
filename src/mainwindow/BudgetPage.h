#pragma once
// The document window's page "TB03": the budget page.

#include "mainwindow/WindowPage.h"

namespace cv {

class BudgetPage : public WindowPage {
    Q_OBJECT
public:
    explicit BudgetPage(CV4Document *document, QWidget *parent = nullptr);
};

} // namespace cv
