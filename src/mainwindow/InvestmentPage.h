#pragma once
// The document window's page "TB06": the investment status page.

#include "mainwindow/WindowPage.h"

namespace cv {

class InvestmentPage : public WindowPage {
    Q_OBJECT
public:
    explicit InvestmentPage(CV4Document *document, QWidget *parent = nullptr);
};

} // namespace cv
