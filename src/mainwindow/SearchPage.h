#pragma once
// The document window's page "TB02": the search and its results.

#include "mainwindow/WindowPage.h"

#include <QPointer>

namespace cv {

class SearchPage : public WindowPage {
    Q_OBJECT
public:
    explicit SearchPage(CV4Document *document, QWidget *parent = nullptr);

    // The results table's panel; none until a search has results to edit.
    QObject *resultsPanel() const { return m_resultsPanel; }
    int resultCount() const { return m_resultCount; }

    // Leaving the page stores edited results; there may be no panel at all.
    void commitPendingInput() override;
    bool hasPrintableContent() const override { return m_resultCount > 0; }

private:
    QPointer<QObject> m_resultsPanel;
    int m_resultCount = 0;
};

} // namespace cv
