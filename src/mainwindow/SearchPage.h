#pragma once
// The document window's page "TB02": the search and its results.

#include "mainwindow/WindowPage.h"

#include "model/CV4Actual.h"

#include <QDate>
#include <QPointer>

#include <memory>
#include <vector>

class CVUnitModel;

namespace cv {

class SearchPage : public WindowPage {
    Q_OBJECT
public:
    explicit SearchPage(CV4Document *document, QWidget *parent = nullptr);

    // The results table's panel; none until a search has results to edit.
    QObject *resultsPanel() const { return m_resultsPanel; }
    int resultCount() const { return m_resultCount; }
    const std::vector<CV4ActualPtr> &results() const { return m_results; }
    // The entries of the accounts within the days (both included); the
    // number found. A failed search finds none.
    int execSearchForAccount(const std::vector<std::shared_ptr<CVUnitModel>> &accounts, const QDate &from,
                             const QDate &to);

    // Leaving the page stores edited results; there may be no panel at all.
    void commitPendingInput() override;
    bool hasPrintableContent() const override { return m_resultCount > 0; }

private:
    QPointer<QObject> m_resultsPanel;
    int m_resultCount = 0;
    std::vector<CV4ActualPtr> m_results;
};

} // namespace cv
