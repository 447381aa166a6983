#include "mainwindow/ViewerPage.h"

#include "charts/CV4InfoMainView.h"
#include "charts/ViewerPrintRow.h"
#include "document/CV4Document.h"
#include "mainwindow/CV4WindowController.h"
#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"

namespace cv {

namespace {
void addRows(std::vector<CV4InfoMainViewParam> &rows, const CVUnitModelPtr &node, int level, int kind)
{
    if (!node) return;
    rows.emplace_back(level, node.get(), kind);
    if (node->hasChildList()) {
        for (const CVUnitModelPtr &child : node->children()) addRows(rows, child, level + 1, kind);
    }
}
} // namespace

ViewerPage::ViewerPage(CV4WindowController *window, CV4Document *document, QWidget *parent)
    : WindowPage(QStringLiteral("TB01"), document, parent), m_window(window)
{
    addHeading();
}

bool ViewerPage::hasPrintableContent() const
{
    return document() && document()->accountModel() && document()->actualModel();
}

std::unique_ptr<CV4InfoView> ViewerPage::makePrintView(PageSetup &setup)
{
    if (!hasPrintableContent()) return nullptr;
    CV4Document *doc = document();
    std::vector<CV4InfoMainViewParam> rows{CV4InfoMainViewParam(CV4InfoViewParam::Header, nullptr,
                                                                CV4InfoMainViewParam::Accounts)};
    for (const CVUnitModelPtr &root : {doc->accountModel()->asset(), doc->accountModel()->debt()})
        addRows(rows, root, 0, CV4InfoMainViewParam::Accounts);
    rows.emplace_back(CV4InfoViewParam::Header, nullptr, CV4InfoMainViewParam::Categories);
    for (const CVUnitModelPtr &root : {doc->actualModel()->income(), doc->actualModel()->expense()})
        addRows(rows, root, 0, CV4InfoMainViewParam::Categories);
    auto printed = std::make_shared<ViewerPrintRow>(m_window ? m_window->topDate() : QDate::currentDate());
    auto callback = [doc, printed](const CV4InfoMainViewParam &row) {
        const bool accounts = row.kind() == CV4InfoMainViewParam::Accounts;
        if (row.isHeader()) return accounts ? printed->accountHeader() : printed->categoryHeader();
        if (!row.ref()) return QStringList();
        return accounts ? printed->accountCells(*doc, *row.ref()) : printed->categoryCells(*doc, *row.ref());
    };
    return std::make_unique<CV4InfoMainView>(callback, std::move(rows), setup);
}

} // namespace cv
