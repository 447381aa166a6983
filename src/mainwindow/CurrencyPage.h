#pragma once
// The document window's page "TB05": the currency page.

#include "mainwindow/WindowPage.h"

namespace cv {

class CurrencyPage : public WindowPage {
    Q_OBJECT
public:
    explicit CurrencyPage(CV4Document *document, QWidget *parent = nullptr);
};

} // namespace cv
