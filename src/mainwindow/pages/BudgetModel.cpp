#include "mainwindow/pages/BudgetModel.h"

#include "document/AmountText.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "document/PatternFormatter.h"
#include "mainwindow/viewer/ExpansionStateSavedOutlineView.h"
#include "model/CategoryTrees.h"
#include "model/Node.h"
#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"

#include <cmath>

namespace cv {

namespace {

const QColor kBudgetColor = QColor::fromRgbF(0, 0.4, 0.8);

NodePtr shared(const Node &node)
{
    return std::const_pointer_cast<Node>(node.shared_from_this());
}

bool isIncome(const Book &document, const Node &node)
{
    const CategoryTreesPtr &categories = document.categoryTrees();
    const Node *root = &node;
    while (root->parent()) root = root->parent();
    return categories && categories->income().get() == root;
}

} // namespace

BudgetModel::BudgetModel(Book &document, const BudgetColumns &columns, QObject *parent)
    : GridColumnsModel(1, Qt::AlignLeft | Qt::AlignVCenter, parent), m_document(document), m_columns(columns),
      m_dateHeader(std::make_shared<Node>())
{
}

BudgetCell BudgetModel::budgetCell(const Book &document, const Node &node, int position, const QDate &date, int months)
{
    // Each read only what the position shows: cells are computed whenever they are painted.
    const double budget = position == 1 ? 0 : node.budgetAtDate(date, months);
    const double actual = position == 0 ? 0 : document.summaryForCategoryMonths(shared(node), date, months);
    const PatternFormatter &money = document.amountText().formatterForCurrency(0);
    BudgetCell cell;
    switch (position) {
    case 0:
        if (budget != 0) cell = {money.stringForObjectValue(budget), kBudgetColor};
        break;
    case 1:
        cell.text = money.stringForObjectValue(actual);
        if (actual < 0) cell.color = negativeColor();
        break;
    case 2: {
        if (budget == 0) break;
        cell.text = cv::AmountText::percentText(actual / budget * 100);
        // Judged on the shown value: "100.00" is never red for rounding dust.
        const double shown = cell.text.toDouble();
        if (isIncome(document, node) ? shown < 100 : shown > 100) cell.color = QColor(Qt::red);
        break;
    }
    default: break;
    }
    return cell;
}

BudgetCell BudgetModel::cell(const Node *node, int column) const
{
    const BudgetColumns::Kind kind = m_columns.kind(column);
    const int position = m_columns.positionInGroup(column);
    if (!node || node == m_dateHeader.get()) {
        static const char *const titles[] = {"Budget Column", "Actual Column", "% Column"};
        return position >= 0 ? BudgetCell{localizedString(titles[position]), {}} : BudgetCell{};
    }
    switch (kind) {
    case BudgetColumns::Kind::Name: return {m_document.displayName(*node), {}};
    case BudgetColumns::Kind::Budget:
    case BudgetColumns::Kind::Actual:
    case BudgetColumns::Kind::Percent: {
        const auto [date, months] = m_columns.dateForColumn(column);
        return budgetCell(m_document, *node, position, date, months);
    }
    case BudgetColumns::Kind::SummaryBudget:
    case BudgetColumns::Kind::SummaryActual:
    case BudgetColumns::Kind::SummaryPercent:
        if (m_columns.unit() == 5) return {QStringLiteral("-"), {}};
        return budgetCell(m_document, *node, position, m_columns.summaryDate(), 12);
    default: return {};
    }
}

std::vector<Node *> BudgetModel::topNodes() const
{
    std::vector<Node *> nodes{m_dateHeader.get()};
    if (const CategoryTreesPtr &categories = m_document.categoryTrees()) {
        if (categories->income()) nodes.push_back(categories->income().get());
        if (categories->expense()) nodes.push_back(categories->expense().get());
    }
    return nodes;
}

const Node *BudgetModel::childAt(const Node *parent, int row) const
{
    if (!parent) {
        const std::vector<Node *> top = topNodes();
        return row >= 0 && size_t(row) < top.size() ? top[size_t(row)] : nullptr;
    }
    return row >= 0 && row < childCount(parent) ? parent->children()[size_t(row)].get() : nullptr;
}

int BudgetModel::childCount(const Node *parent) const
{
    if (!parent) return int(topNodes().size());
    return parent->hasChildList() ? int(parent->children().size()) : 0;
}

int BudgetModel::rowOf(const Node *node) const
{
    const Node *parent = node->parent();
    const int count = childCount(parent);
    for (int row = 0; row < count; ++row)
        if (childAt(parent, row) == node) return row;
    return -1;
}

Node *BudgetModel::nodeAt(const QModelIndex &index) const
{
    auto *node = index.isValid() ? static_cast<Node *>(index.internalPointer()) : nullptr;
    return node == m_dateHeader.get() ? nullptr : node;
}

bool BudgetModel::isHeaderRow(const QModelIndex &index) const
{
    return index.isValid() && index.internalPointer() == m_dateHeader.get();
}

QModelIndex BudgetModel::indexOfNode(const Node *node, int column) const
{
    if (!node) return {};
    const int row = rowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, column, const_cast<Node *>(node));
}

QModelIndex BudgetModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= columnCount()) return {};
    const auto *parentNode = parent.isValid() ? static_cast<const Node *>(parent.internalPointer()) : nullptr;
    const Node *node = childAt(parentNode, row);
    return node ? createIndex(row, column, const_cast<Node *>(node)) : QModelIndex();
}

QModelIndex BudgetModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeAt(child);
    return node && node->parent() ? indexOfNode(node->parent()) : QModelIndex();
}

int BudgetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0) return 0;
    if (isHeaderRow(parent)) return 0;
    return childCount(nodeAt(parent));
}

bool BudgetModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

Qt::ItemFlags BudgetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    // The header row is never selected; no cell is edited in place or dragged.
    return isHeaderRow(index) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QColor BudgetModel::background(const QModelIndex &index) const
{
    static const Preference defaults;
    const Preference &prefs = m_preference ? *m_preference : defaults;
    if (isHeaderRow(index)) return QColor(Qt::white);
    const Node *node = nodeAt(index);
    if (node && !node->parent()) return prefs.categoryColor();
    const BudgetColumns::Kind kind = m_columns.kind(index.column());
    if (kind == BudgetColumns::Kind::Name || kind == BudgetColumns::Kind::SummaryBudget ||
        kind == BudgetColumns::Kind::SummaryActual || kind == BudgetColumns::Kind::SummaryPercent)
        return prefs.titleColor();
    return {};
}

QVariant BudgetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid()) return {};
    const Node *node = nodeAt(index);
    switch (role) {
    case ExpansionStateSavedOutlineView::NodeRole: return node ? QVariant::fromValue(quintptr(node)) : QVariant();
    case Qt::DisplayRole: return cell(node, index.column()).text;
    case Qt::ForegroundRole: {
        const QColor color = cell(node, index.column()).color;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::TextAlignmentRole:
        if (index.column() == 0) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        return QVariant::fromValue(
            Qt::Alignment((isHeaderRow(index) ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter));
    case Qt::BackgroundRole: {
        const QColor color = background(index);
        return color.isValid() ? QVariant(color) : QVariant();
    }
    default: return {};
    }
}

} // namespace cv
