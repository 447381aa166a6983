#include "mainwindow/viewer/CategoryGrid.h"

#include "document/Book.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "model/CategoryTrees.h"
#include "model/Node.h"
#include "model/DomainEnums.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

namespace cv {

using cv::NodeKind;

namespace {
bool lies(const Node *node, const NodePtr &root)
{
    for (const Node *n = node; n; n = n->parent()) {
        if (root && n == root.get()) return true;
    }
    return false;
}
} // namespace

QWidget *CategoryGrid::editItem(const NodePtr &node, const QDate &from, const QDate &to)
{
    if (!node || !m_wc || !m_wc->document() || !m_wc->document()->categoryTrees()) return nullptr;
    const CategoryTreesPtr &categories = m_wc->document()->categoryTrees();
    const cv::EntryPanelMaker &maker = m_wc->entryPanelMaker();
    if (!maker) return nullptr;
    if (lies(node.get(), categories->moneyFlow()))
        return maker(*this, *m_wc->document(), node, from, to, cv::EntryPanelKind::Transfer);
    if (lies(node.get(), categories->income()) || lies(node.get(), categories->expense()))
        return maker(*this, *m_wc->document(), node, from, to, cv::EntryPanelKind::IncomeExpense);
    return nullptr;
}

void CategoryGrid::openFixedColumn(Node *node, int columnId)
{
    if (!node || columnId != 0 || !m_wc || !m_wc->document()) return;
    if (node->kind() == NodeKind::CategorySummary) {
        m_wc->editCategorySummary(node->shared_from_this());
        return;
    }
    const bool group = node->kind() == NodeKind::Group;
    if ((!group && node->kind() != NodeKind::Category) || node->ident() <= cv::kLastSystemIdent) return;
    const std::optional<QString> name =
        Alert::inputName(node->name(), cv::localizedString(group ? QStringLiteral("Actual Group Title")
                                                                 : QStringLiteral("Actual Item Title")));
    const QString trimmed = name ? name->trimmed() : QString();
    if (trimmed.isEmpty() || trimmed == node->name()) return;
    m_wc->document()->renameNode(node->shared_from_this(), trimmed);
    if (cv::ViewerModel *m = viewerModel()) update(m->indexOfNode(node));
}

} // namespace cv
