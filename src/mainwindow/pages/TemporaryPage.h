#pragma once
// The page appended after the five while an entry panel is open; its
// identifier is empty.

#include "mainwindow/WindowPage.h"

#include <QPointer>

namespace cv {

class TemporaryPage : public WindowPage {
    Q_OBJECT
public:
    explicit TemporaryPage(Book *document, QWidget *parent = nullptr);

    QWidget *panel() const { return m_panel; }
    // The page takes the panel's widget into its layout.
    void setPanel(QWidget *panel);

private:
    QPointer<QWidget> m_panel;
};

} // namespace cv
