// Dragging rows of the viewer's trees: what may start a drag, where it may
// land, and that a move never loses a node or builds a loop.
#include "mainwindow/MainWindowTestSupport.h"

#include "mainwindow/viewer/ViewerDragDrop.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "support/SampleBook.h"

#include <QMimeData>

using cv::NodeKind;
using cv::ViewerDragDrop;
using samplebook::node;

namespace {

struct SampleRows {
    std::unique_ptr<cv::Book> doc;
    std::map<QString, cv::NodePtr> nodes;
    cv::NodePtr operator[](const QString &name) const { return nodes.at(name); }
};

// Assets: Wallet, A, B, C, D, F1, F2, G (folder of E), I (investment: cash
// part, H1, H2); debts: L. Expenses: Food (with an entry), Rent, X, F (folder
// of Y), the system categories; summaries: S1, S2.
SampleRows makeBook()
{
    SampleRows b;
    b.doc = std::make_unique<cv::Book>();
    EXPECT_TRUE(b.doc->store()->create());
    cv::Book &d = *b.doc;
    d.categoryTrees()->setDefault();
    d.categoryTrees()->setSystemItems();
    d.accountTrees()->setSystemItems();
    const cv::NodePtr asset = d.accountTrees()->asset();
    b.nodes[QStringLiteral("asset")] = asset;
    b.nodes[QStringLiteral("Wallet")] = asset->childAt(0);
    int ident = 1000;
    for (const char *name : {"A", "B", "C", "D", "F1", "F2"})
        b.nodes[QLatin1String(name)] = node(asset, ident++, NodeKind::Cash, QLatin1String(name));
    const cv::NodePtr group = node(asset, ident++, NodeKind::Group, QStringLiteral("G"));
    b.nodes[QStringLiteral("G")] = group;
    b.nodes[QStringLiteral("E")] = node(group, ident++, NodeKind::Bank, QStringLiteral("E"));
    const cv::NodePtr invest = node(asset, ident++, NodeKind::Investment, QStringLiteral("I"));
    b.nodes[QStringLiteral("I")] = invest;
    b.nodes[QStringLiteral("cash")] = node(invest, 0, NodeKind::CashPart, QStringLiteral("cash"));
    b.nodes[QStringLiteral("H1")] = node(invest, 0, NodeKind::Holding, QStringLiteral("H1"));
    b.nodes[QStringLiteral("H2")] = node(invest, 0, NodeKind::Holding, QStringLiteral("H2"));
    b.nodes[QStringLiteral("L")] = node(d.accountTrees()->debt(), ident++, NodeKind::GeneralDebt, QStringLiteral("L"));

    const cv::NodePtr expense = d.categoryTrees()->expense();
    b.nodes[QStringLiteral("expense")] = expense;
    b.nodes[QStringLiteral("income")] = d.categoryTrees()->income();
    b.nodes[QStringLiteral("Misc")] = expense->findMemberWithIdent(cv::CategoryTrees::ExpenseMisc);
    for (const char *name : {"Food", "Rent", "X"})
        b.nodes[QLatin1String(name)] = node(expense, ident++, NodeKind::Category, QLatin1String(name));
    const cv::NodePtr folder = node(expense, ident++, NodeKind::Group, QStringLiteral("F"));
    b.nodes[QStringLiteral("F")] = folder;
    b.nodes[QStringLiteral("Y")] = node(folder, ident++, NodeKind::Category, QStringLiteral("Y"));
    const cv::NodePtr summary = d.categoryTrees()->summary();
    b.nodes[QStringLiteral("summary")] = summary;
    for (const char *name : {"S1", "S2"})
        b.nodes[QLatin1String(name)] = node(summary, ident++, NodeKind::CategorySummary, QLatin1String(name));
    d.commitAccountTrees();
    d.commitCategoryTrees();
    d.updateExpense(samplebook::entry(cv::EntryKind::Expense, QDate(2026, 3, 1), 500,
                                      b[QStringLiteral("Food")]->ident(), cv::AccountTrees::WalletIdent),
                    nullptr);
    return b;
}

QStringList names(const cv::NodePtr &parent)
{
    QStringList out;
    for (const cv::NodePtr &c : parent->children()) out << c->name();
    return out;
}

int countNodes(const cv::Node &node)
{
    int n = 1;
    for (const cv::NodePtr &c : node.children()) {
        EXPECT_EQ(c->parent(), &node) << c->name().toStdString();
        n += countNodes(*c);
    }
    return n;
}

int bookSize(const cv::Book &d)
{
    return countNodes(*d.accountTrees()->asset()) + countNodes(*d.accountTrees()->debt()) +
           countNodes(*d.categoryTrees()->expense()) + countNodes(*d.categoryTrees()->income()) +
           countNodes(*d.categoryTrees()->summary());
}

struct DropCase {
    const char *what;
    ViewerDragDrop::Grid grid;
    QStringList dragged;
    QString target;
    int index;
    QString shown; // the node whose children are compared afterwards; empty: the drag or drop is refused
    QStringList children;
};

} // namespace

class ViewerDragDropTest : public DelegateTest {};

TEST_F(ViewerDragDropTest, MovesLandWhereDroppedAndRefusalsChangeNothing)
{
    const auto A = ViewerDragDrop::Accounts;
    const auto C = ViewerDragDrop::Categories;
    // clang-format off
    const DropCase cases[] = {
        {"two siblings before a later one", A, {"A", "B"}, "asset", 4, "asset",
         {"Wallet", "C", "A", "B", "D", "F1", "F2", "G", "I"}},
        {"rows 0 and 8 to index 1", A, {"Wallet", "I"}, "asset", 1, "asset",
         {"Wallet", "I", "A", "B", "C", "D", "F1", "F2", "G"}},
        {"onto a folder: at its end", A, {"A"}, "G", -1, "G", {"E", "A"}},
        {"onto an account: before it", A, {"D"}, "B", -1, "asset",
         {"Wallet", "A", "D", "B", "C", "F1", "F2", "G", "I"}},
        {"holdings among themselves", A, {"H2"}, "I", 1, "I", {"cash", "H2", "H1"}},
        {"holding before the cash part", A, {"H2"}, "I", 0, {}, {}},
        {"holding out of its account", A, {"H1"}, "asset", 0, {}, {}},
        {"account into an investment account", A, {"A"}, "I", 1, {}, {}},
        {"asset with a debt account", A, {"A", "L"}, "asset", 0, {}, {}},
        {"into another tree", A, {"A"}, "L", -1, {}, {}},
        {"a folder into its own child", A, {"G"}, "E", -1, {}, {}},
        {"the cash part", A, {"cash"}, "I", 2, {}, {}},
        {"a root", A, {"asset"}, "asset", 0, {}, {}},
        {"onto a category with entries", C, {"X"}, "Food", -1, "Food's folder", {"Food", "X"}},
        {"onto a category without entries", C, {"X"}, "Rent", -1, "Rent", {"X"}},
        {"last child out of a folder", C, {"Y"}, "expense", 0, "F", {}},
        {"a system category", C, {"Misc"}, "expense", 0, {}, {}},
        {"onto a system category", C, {"X"}, "Misc", -1, {}, {}},
        {"into the income tree", C, {"X"}, "income", 0, {}, {}},
        {"summaries among themselves", C, {"S2"}, "summary", 0, "summary", {"S2", "S1"}},
        {"after the system transfer rows", C, {"S1"}, "summary", 3, {}, {}},
    };
    // clang-format on
    for (const DropCase &c : cases) {
        SCOPED_TRACE(c.what);
        SampleRows b = makeBook();
        const int size = bookSize(*b.doc);
        std::vector<cv::NodePtr> dragged;
        for (const QString &name : c.dragged) dragged.push_back(b[name]);
        ViewerDragDrop drag(*b.doc, c.grid);
        const bool started = drag.writeItems(dragged);
        const bool dropped = started && drag.acceptDrop(b[c.target], c.index);
        EXPECT_EQ(dropped, !c.shown.isEmpty());
        if (c.shown.isEmpty()) {
            EXPECT_EQ(bookSize(*b.doc), size);
            continue;
        }
        const QString what = QLatin1String(c.what);
        if (c.shown == QLatin1String("Food's folder")) {
            // A new folder of the same name took Food's place and holds it first.
            const cv::NodePtr food = b[QStringLiteral("Food")];
            const cv::NodePtr folder = food->parent()->shared_from_this();
            EXPECT_EQ(folder->kind(), NodeKind::Group);
            EXPECT_EQ(folder->name(), QStringLiteral("Food"));
            EXPECT_EQ(folder->parent(), b[QStringLiteral("expense")].get());
            EXPECT_GT(folder->ident(), b[QStringLiteral("S2")]->ident());
            EXPECT_EQ(food->kind(), NodeKind::Category);
            EXPECT_EQ(names(folder), c.children);
            EXPECT_EQ(bookSize(*b.doc), size + 1);
            // The folder's total is its members' at once.
            EXPECT_EQ(b.doc->summaryForCategoryMonths(folder, QDate(2026, 3, 1), 1), 500);
            continue;
        }
        EXPECT_EQ(bookSize(*b.doc), size);
        EXPECT_EQ(names(b[c.shown]), c.children);
        if (what == QLatin1String("onto a category without entries")) {
            EXPECT_EQ(b[c.shown]->kind(), NodeKind::Group);
        } else if (what == QLatin1String("last child out of a folder")) {
            EXPECT_EQ(b[c.shown]->kind(), NodeKind::Category);
        }
    }
}

TEST_F(ViewerDragDropTest, GridDragsStayInTheirGridAndShowTheMove)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    ASSERT_NE(w, nullptr);
    const cv::NodePtr asset = document->accountTrees()->asset();
    const cv::NodePtr a = node(asset, 1000, NodeKind::Cash, QStringLiteral("A"));
    const cv::NodePtr b = node(asset, 1001, NodeKind::Cash, QStringLiteral("B"));
    document->commitAccountTrees();
    cv::ViewerModel *accounts = w->viewerPage()->accountModel();
    cv::ViewerModel *categories = w->viewerPage()->categoryModel();
    const QModelIndex assetRow = accounts->indexOfNode(asset.get());
    const int count = accounts->rowCount(assetRow);

    EXPECT_EQ(accounts->mimeData({assetRow}), nullptr) << "a root is not dragged";
    std::unique_ptr<QMimeData> data(accounts->mimeData({accounts->indexOfNode(b.get())}));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(accounts->mimeTypes(), QStringList{QStringLiteral("CVv1-DragDropAccount")});
    EXPECT_FALSE(categories->canDropMimeData(data.get(), Qt::MoveAction, 0, 0,
                                             categories->indexOfNode(document->categoryTrees()->expense().get())));
    QMimeData foreign;
    foreign.setData(QStringLiteral("CVv1-DragDropAccount"), "0");
    EXPECT_FALSE(accounts->canDropMimeData(&foreign, Qt::MoveAction, 0, 0, assetRow));
    ASSERT_TRUE(accounts->dropMimeData(data.get(), Qt::MoveAction, 0, 0, assetRow));

    const QModelIndex shown = accounts->indexOfNode(asset.get());
    ASSERT_EQ(accounts->rowCount(shown), count);
    EXPECT_EQ(accounts->nodeAt(accounts->index(0, 0, shown)), b.get());
    EXPECT_EQ(asset->childAt(0), b);
    EXPECT_EQ(a->parent(), asset.get());
}
