#include "mainwindow/SearchPage.h"

#include "document/CV4DataModel.h"
#include "document/CV4Document.h"
#include "model/CVUnitModel.h"

namespace cv {

SearchPage::SearchPage(CV4Document *document, QWidget *parent) : WindowPage(QStringLiteral("TB02"), document, parent)
{
    addHeading();
}

int SearchPage::execSearchForAccount(const std::vector<std::shared_ptr<CVUnitModel>> &accounts, const QDate &from,
                                     const QDate &to)
{
    m_results.clear();
    if (document() && document()->dataModel()) {
        CV4SearchConditions conditions;
        conditions.date = {from, to};
        for (const auto &account : accounts) {
            if (account) conditions.account << account->ident();
        }
        if (std::optional<CV4DataModel::ActualList> found = document()->dataModel()->findActual(conditions))
            m_results = std::move(*found);
    }
    m_resultCount = int(m_results.size());
    return m_resultCount;
}

void SearchPage::commitPendingInput()
{
    if (!m_resultsPanel) return;
    QMetaObject::invokeMethod(m_resultsPanel, "apply");
}

} // namespace cv
