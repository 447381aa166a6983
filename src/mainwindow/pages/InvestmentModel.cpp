#include "mainwindow/pages/InvestmentModel.h"

#include "print/InvestmentsPrint.h"

#include <functional>

namespace cv {

InvestmentModel::InvestmentModel(const InvestmentStatus &report, QObject *parent)
    : QAbstractItemModel(parent), m_report(report)
{
    buildNodes();
}

InvestmentModel::~InvestmentModel() = default;

void InvestmentModel::buildNodes()
{
    m_root.children.clear();
    auto add = [](Node &parent, InvestmentStatus::Row row) {
        auto node = std::make_unique<Node>();
        node->row = row;
        node->parent = &parent;
        node->index = int(parent.children.size());
        parent.children.push_back(std::move(node));
        return parent.children.back().get();
    };
    for (const InvestmentStatusRowPtr &item : m_report.items()) {
        Node *top =
            add(m_root, {item->isTotal() ? InvestmentStatus::TotalLevel : InvestmentStatus::AccountLevel, item.get()});
        for (const InvestmentStatusRowPtr &holding : item->holdings()) {
            Node *h = add(*top, {InvestmentStatus::HoldingLevel, holding.get()});
            for (const auto &trade : holding->trades())
                add(*h, {InvestmentStatus::TradeLevel, nullptr, trade.get(), holding.get()});
        }
    }
}

void InvestmentModel::reset(const std::function<void()> &rebuild)
{
    beginResetModel();
    m_root.children.clear();
    if (rebuild) rebuild();
    buildNodes();
    endResetModel();
}

void InvestmentModel::refresh(const std::function<void()> &rebuild)
{
    if (rebuild) rebuild();
    // The report's rows in the model's order, each with its number of children.
    std::vector<std::pair<InvestmentStatus::Row, size_t>> rows;
    for (const InvestmentStatusRowPtr &item : m_report.items()) {
        rows.push_back({{item->isTotal() ? InvestmentStatus::TotalLevel : InvestmentStatus::AccountLevel, item.get()},
                        item->holdings().size()});
        for (const InvestmentStatusRowPtr &holding : item->holdings()) {
            rows.push_back({{InvestmentStatus::HoldingLevel, holding.get()}, holding->trades().size()});
            for (const auto &trade : holding->trades())
                rows.push_back({{InvestmentStatus::TradeLevel, nullptr, trade.get(), holding.get()}, 0});
        }
    }
    std::vector<Node *> nodes;
    std::function<void(Node &)> walk = [&](Node &parent) {
        for (const auto &child : parent.children) {
            nodes.push_back(child.get());
            walk(*child);
        }
    };
    walk(m_root);
    bool same = nodes.size() == rows.size() && m_root.children.size() == m_report.items().size();
    for (size_t i = 0; same && i < nodes.size(); ++i)
        same = nodes[i]->row.level == rows[i].first.level && nodes[i]->children.size() == rows[i].second;
    if (!same) {
        beginResetModel();
        buildNodes();
        endResetModel();
        return;
    }
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i]->row = rows[i].first;
    refreshValues({});
}

void InvestmentModel::refreshValues(const QModelIndex &parent)
{
    const int rows = rowCount(parent);
    if (rows == 0) return;
    Q_EMIT dataChanged(index(0, 0, parent), index(rows - 1, InvestmentStatus::ColumnCount - 1, parent));
    for (int r = 0; r < rows; ++r) refreshValues(index(r, 0, parent));
}

void InvestmentModel::setConvert(bool convert)
{
    if (convert == m_convert) return;
    m_convert = convert;
    // Values only: expansion and selection stay.
    refreshValues({});
}

void InvestmentModel::setColors(const QColor &category, const QColor &title)
{
    m_categoryColor = category;
    m_titleColor = title;
}

const InvestmentModel::Node *InvestmentModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<const Node *>(index.internalPointer()) : &m_root;
}

const InvestmentStatus::Row *InvestmentModel::rowAt(const QModelIndex &index) const
{
    return index.isValid() ? &nodeOf(index)->row : nullptr;
}

QModelIndex InvestmentModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *p = nodeOf(parent);
    if (row < 0 || size_t(row) >= p->children.size() || column < 0 || column >= InvestmentStatus::ColumnCount)
        return {};
    return createIndex(row, column, p->children[size_t(row)].get());
}

QModelIndex InvestmentModel::parent(const QModelIndex &child) const
{
    if (!child.isValid()) return {};
    const Node *p = nodeOf(child)->parent;
    if (!p || p == &m_root) return {};
    return createIndex(p->index, 0, const_cast<Node *>(p));
}

int InvestmentModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0) return 0;
    return int(nodeOf(parent)->children.size());
}

int InvestmentModel::columnCount(const QModelIndex &) const
{
    return InvestmentStatus::ColumnCount;
}

QVariant InvestmentModel::data(const QModelIndex &index, int role) const
{
    const InvestmentStatus::Row *row = rowAt(index);
    if (!row) return {};
    switch (role) {
    case Qt::DisplayRole: return m_report.text(index.column(), *row, m_convert).text;
    case Qt::ForegroundRole: {
        const QColor color = m_report.text(index.column(), *row, m_convert).color;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::TextAlignmentRole: {
        const bool number = index.column() >= InvestmentStatus::Units && index.column() <= InvestmentStatus::Gain;
        return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    case Qt::BackgroundRole:
        if (row->level == InvestmentStatus::TradeLevel)
            return index.row() % 2 ? QVariant(alternateColor()) : QVariant(QColor(Qt::white));
        if (row->level == InvestmentStatus::HoldingLevel)
            return m_titleColor.isValid() ? QVariant(m_titleColor) : QVariant();
        return m_categoryColor.isValid() ? QVariant(m_categoryColor) : QVariant();
    default: return {};
    }
}

QVariant InvestmentModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const QStringList titles = InvestmentsPrint::headerTitles();
    return section < titles.size() ? titles[section] : QString();
}

} // namespace cv
