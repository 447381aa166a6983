#pragma once
// The document window's page "TB01": the period viewer of accounts and categories.

#include "mainwindow/WindowPage.h"

namespace cv {

class ViewerPage : public WindowPage {
    Q_OBJECT
public:
    explicit ViewerPage(CV4Document *document, QWidget *parent = nullptr);
};

} // namespace cv
