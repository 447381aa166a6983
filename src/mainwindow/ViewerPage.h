#pragma once
// The document window's page "TB01": the period viewer of accounts and categories.

#include "mainwindow/WindowPage.h"

class CV4WindowController;

namespace cv {

class ViewerPage : public WindowPage {
    Q_OBJECT
public:
    ViewerPage(CV4WindowController *window, CV4Document *document, QWidget *parent = nullptr);

    bool hasPrintableContent() const override;
    // Twelve months from the window's top date, the account rows then the
    // category rows.
    std::unique_ptr<CV4InfoView> makePrintView(PageSetup &setup) override;

private:
    CV4WindowController *m_window; // owns the page
};

} // namespace cv
