// The account and category commands of the viewer and the new item wizard:
// their rules, what each adds or removes, the sheets' ends, and a book built
// only through them that reads back the same.
#include "mainwindow/MainWindowTestSupport.h"

#include <QAction>
#include "support/Screenshots.h"

#include "controls/AccountChooserModel.h"
#include "controls/CommandRow.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "mainwindow/WizardDialog.h"
#include "model/Summary.h"
#include "panels/sheets/CashAccountSheet.h"
#include "panels/sheets/InputTextField.h"
#include "support/SampleBook.h"
#include "document/store/SQLDatabase3.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTest>

using cv::NodeKind;
using cv::TreeSelection;

namespace {

TreeSelection row(TreeSelection::Tree tree, NodeKind kind, int ident, bool children = false, int parentKind = 20)
{
    return {true, tree, kind, ident, children, parentKind};
}

cv::SummaryMemberPtr unit(int ident)
{
    auto u = std::make_shared<cv::SummaryMember>();
    u->setRefID(ident);
    return u;
}

QStringList names(const cv::Book &doc, const cv::NodePtr &parent)
{
    QStringList out;
    for (const cv::NodePtr &c : parent->children()) out << doc.displayName(*c);
    return out;
}

// Every node of a tree as "depth kind ident name", in order.
QStringList shape(const cv::Book &doc, const cv::NodePtr &node, int depth = 0)
{
    QStringList out{QStringLiteral("%1 %2 %3 %4")
                        .arg(depth)
                        .arg(cv::raw(node->kind()))
                        .arg(node->ident())
                        .arg(doc.displayName(*node))};
    for (const cv::NodePtr &c : node->children()) out << shape(doc, c, depth + 1);
    return out;
}

QStringList summaries(const cv::NodePtr &root)
{
    QStringList out;
    for (const cv::NodePtr &s : root->children()) {
        const auto summary = std::dynamic_pointer_cast<cv::Summary>(s->extra());
        QStringList plus, minus;
        for (const auto &u : summary ? summary->addedNodes() : std::vector<cv::SummaryMemberPtr>{})
            plus << QString::number(u->refID());
        for (const auto &u : summary ? summary->subtractedNodes() : std::vector<cv::SummaryMemberPtr>{})
            minus << QString::number(u->refID());
        out << s->name() + QLatin1Char(':') + plus.join(QLatin1Char(',')) + QLatin1Char('-') +
                   minus.join(QLatin1Char(','));
    }
    return out;
}

} // namespace

TEST(BookCommandRulesTest, AccountAndCategoryCommandsFollowTheSelection)
{
    using T = TreeSelection;
    const TreeSelection none;
    struct Case {
        const char *what;
        int tag;
        TreeSelection selection;
        bool enabled;
    } cases[] = {
        {"new cash without a selection", 29001, none, true},
        {"new cash below the debt root", 29001, row(T::Debt, NodeKind::Loan, 1001), false},
        {"new loan below the debt root", 29101, row(T::Debt, NodeKind::Loan, 1001), true},
        {"new summary in the summaries", 29205, row(T::AccountSummary, NodeKind::AccountSummary, 1002, false, 0), true},
        {"add security on a holding", 29204, row(T::Asset, NodeKind::Holding, 0, false, 32), true},
        {"add security on a bank account", 29204, row(T::Asset, NodeKind::Bank, 1003), false},
        {"group from a holding", 29206, row(T::Asset, NodeKind::Holding, 0, false, 32), false},
        {"group from an account in a folder", 29206, row(T::Asset, NodeKind::Cash, 1004), true},
        {"group in the summaries", 29206, row(T::AccountSummary, NodeKind::AccountSummary, 1005, false, 0), false},
        {"delete the wallet", 29207, row(T::Asset, NodeKind::Cash, 10, false, 1), false},
        {"delete a folder with accounts", 29207, row(T::Asset, NodeKind::Group, 1006, true, 1), true},
        {"delete a root", 29207, row(T::Asset, NodeKind::SectionRoot, 1, true, -1), false},
        {"delete a holding", 29207, row(T::Asset, NodeKind::Holding, 0, false, 32), true},
        {"delete without a selection", 29207, none, false},
        {"delete a system category", 30013, row(T::Expense, NodeKind::Category, 30, false, 1), false},
        {"merge a system category", 30014, row(T::Expense, NodeKind::Category, 32, false, 1), false},
        {"delete a folder with categories", 30013, row(T::Expense, NodeKind::Group, 1007, true, 1), false},
        {"merge a folder with categories", 30014, row(T::Expense, NodeKind::Group, 1007, true, 1), false},
        {"delete a category", 30013, row(T::Income, NodeKind::Category, 1008), true},
        {"merge a category", 30014, row(T::Income, NodeKind::Category, 1008), true},
        {"delete a transfer item", 30013, row(T::Transfer, NodeKind::SystemItem, 10, false, 1), false},
        {"new category on a transfer item", 30012, row(T::Transfer, NodeKind::SystemItem, 10, false, 1), false},
        {"new category on a summary", 30012, row(T::CategorySummary, NodeKind::CategorySummary, 1009, false, 0), true},
        {"new folder on a summary", 30011, row(T::CategorySummary, NodeKind::CategorySummary, 1009, false, 0), false},
        {"new folder on a category", 30011, row(T::Expense, NodeKind::Category, 1008), true},
        {"the text import is on", 30017, row(T::Expense, NodeKind::Category, 1008), true},
    };
    for (const Case &c : cases) {
        cv::MenuContext context;
        context.hasWindow = context.hasDocument = true;
        context.tabIdentifier = QStringLiteral("TB01");
        (c.tag < 30000 ? context.account : context.category) = c.selection;
        EXPECT_EQ(cv::menuItemState(c.tag, context).enabled, c.enabled) << c.what;
        context.tabIdentifier = QStringLiteral("TB03");
        EXPECT_FALSE(cv::menuItemState(c.tag, context).enabled) << c.what << " off the viewer";
    }
}

class BookCommandsTest : public DelegateTest {
protected:
    void open()
    {
        w = openNewWindow(document, 1100, 700);
        ASSERT_NE(w, nullptr);
        scriptSheets();
    }
    void scriptSheets()
    {
        // Scripted sheets: each names its node from the list and ends with the next code.
        w->setAccountSheetOpener([this](cv::BookWindow &, cv::BookWindow::AccountSheet sheet, const cv::NodePtr &node,
                                        cv::BookWindow::SheetDone done) {
            sheets << int(sheet);
            if (!sheetNames.empty()) {
                node->setName(sheetNames.front());
                sheetNames.pop_front();
            }
            if (node->currency() == 0) node->setCurrency(1);
            if (summaryExtra) node->setExtra(std::exchange(summaryExtra, nullptr));
            const int code = sheetCodes.empty() ? 1 : sheetCodes.front();
            if (!sheetCodes.empty()) sheetCodes.pop_front();
            done({code, std::nullopt});
        });
        w->setSecuritySheetOpener([this](cv::BookWindow &, std::function<void(const cv::SecurityPtr &)> done) {
            auto security = std::make_shared<cv::Security>();
            security->setName(QStringLiteral("Acme"));
            security->setCurrency(1);
            document->addSecurity(security);
            document->commitSecurityList();
            done(security);
        });
    }
    cv::NodePtr asset() const { return document->accountTrees()->asset(); }
    cv::NodePtr expense() const { return document->categoryTrees()->expense(); }
    void selectAccount(const cv::NodePtr &node) { w->expandMe(node); }
    void selectCategory(const cv::NodePtr &node) { w->expandMe(node); }

    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    QList<int> sheets;
    std::deque<QString> sheetNames;
    std::deque<int> sheetCodes;
    std::shared_ptr<cv::Summary> summaryExtra;
};

TEST_F(BookCommandsTest, NewAccountsGoLastUnderTheirRootAndCancelAddsNothing)
{
    open();
    const int before = asset()->countChild();
    sheetNames = {QStringLiteral("Broker")};
    w->execGridCommand(cv::tag::NewInvestment);
    ASSERT_EQ(asset()->countChild(), before + 1);
    const cv::NodePtr broker = asset()->children().back();
    EXPECT_EQ(broker->name(), QStringLiteral("Broker"));
    EXPECT_EQ(broker->kind(), NodeKind::Investment);
    EXPECT_GT(broker->ident(), cv::kUniqueIdSeed);
    ASSERT_EQ(broker->countChild(), 1);
    EXPECT_EQ(broker->childAt(0)->kind(), NodeKind::CashPart);
    EXPECT_EQ(broker->childAt(0)->ident(), 0);
    EXPECT_EQ(document->displayName(*broker->childAt(0)), cv::localizedString(QStringLiteral("SYS:Invest-Cache")));
    // The viewer shows it selected.
    EXPECT_EQ(w->selectedAccountNode(), broker);

    sheetCodes = {0};
    w->execGridCommand(cv::tag::NewCash);
    EXPECT_EQ(asset()->countChild(), before + 1);

    // A debt with the asset root selected is refused by the rule.
    selectAccount(asset());
    w->execGridCommand(cv::tag::NewCreditCard);
    selectAccount(document->accountTrees()->debt());
    sheetNames = {QStringLiteral("Card")};
    w->execGridCommand(cv::tag::NewCreditCard);
    EXPECT_EQ(names(*document, document->accountTrees()->debt()).last(), QStringLiteral("Card"));
    EXPECT_EQ(sheets, (QList<int>{int(cv::BookWindow::AccountSheet::Cash), int(cv::BookWindow::AccountSheet::Cash),
                                  int(cv::BookWindow::AccountSheet::CreditCard)}));

    // A group cancelled, or named only with blanks, adds nothing.
    const QStringList accounts = shape(*document, asset());
    selectAccount(broker);
    for (const std::optional<QString> &name :
         {std::optional<QString>(), std::optional<QString>(QStringLiteral("  "))}) {
        alerts.names = {name};
        w->execGridCommand(cv::tag::GroupAccounts);
        EXPECT_TRUE(alerts.names.empty());
        EXPECT_EQ(shape(*document, asset()), accounts);
    }

    // A chooser's "new investment account" row gets the account when the sheet ends.
    cv::ChooserItem handed;
    cv::AccountChooserModel source;
    source.setDocument(document, 4, true);
    source.appendNewAccountCommand(NodeKind::Investment);
    const std::shared_ptr<cv::CommandRow> row = source.objects().back().command();
    ASSERT_TRUE(row);
    sheetNames = {QStringLiteral("Broker 2")};
    EXPECT_FALSE(row->runWithDelegate([&handed](const cv::ChooserItem &item) { handed = item; }).node());
    ASSERT_TRUE(handed.node());
    EXPECT_EQ(handed.node()->name(), QStringLiteral("Broker 2"));
    EXPECT_EQ(handed.node()->parent(), asset().get());
}

TEST_F(BookCommandsTest, DeletingAFolderKeepsItsAccountsInOrderWhereItWas)
{
    open();
    using samplebook::node;
    const cv::NodePtr a = node(asset(), 2001, NodeKind::Cash, QStringLiteral("A"));
    const cv::NodePtr folder = node(asset(), 2002, NodeKind::Group, QStringLiteral("F"));
    const cv::NodePtr b = node(folder, 2003, NodeKind::Cash, QStringLiteral("B"));
    const cv::NodePtr c = node(folder, 2004, NodeKind::Bank, QStringLiteral("C"));
    const cv::NodePtr d = node(asset(), 2005, NodeKind::Cash, QStringLiteral("D"));
    // An account summary adding the folder and B.
    auto summary = std::make_shared<cv::Summary>();
    summary->addedNodes() = {unit(2002), unit(2003)};
    const cv::NodePtr total =
        node(document->accountTrees()->summary(), 2006, NodeKind::AccountSummary, QStringLiteral("Total"), summary);
    document->commitAccountTrees();

    selectAccount(folder);
    EXPECT_TRUE(w->validateMenuItem(cv::tag::DeleteAccount));
    w->execGridCommand(cv::tag::DeleteAccount);
    const QStringList after = names(*document, asset());
    EXPECT_EQ(after.mid(after.indexOf(QStringLiteral("A"))), (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(summaries(document->accountTrees()->summary()), QStringList{"Total:2003-"});

    // Grouping with an account selected puts the folder beside it, never inside.
    selectAccount(b);
    alerts.names = {QStringLiteral("Savings")};
    w->execGridCommand(cv::tag::GroupAccounts);
    EXPECT_EQ(asset()->children().back()->name(), QStringLiteral("Savings"));
    EXPECT_EQ(asset()->children().back()->kind(), NodeKind::Group);
    EXPECT_EQ(b->countChild(), 0);

    // The wallet (ident 10) stays.
    selectAccount(document->findAccount(cv::AccountTrees::WalletIdent));
    EXPECT_FALSE(w->validateMenuItem(cv::tag::DeleteAccount));
    // Even a shortcut under a stale enabled state.
    QAction *remove = delegate->actionForTag(cv::tag::DeleteAccount);
    remove->setEnabled(true);
    remove->trigger();
    EXPECT_TRUE(document->findAccount(cv::AccountTrees::WalletIdent));
}

TEST_F(BookCommandsTest, CategoryCommandsKeepSystemItemsFoldersAndSummariesSound)
{
    open();
    using samplebook::node;
    // Idents above the template's own.
    const int id = *document->categoryTrees()->uniqueId();
    const cv::NodePtr folder = node(expense(), id + 0, NodeKind::Group, QStringLiteral("Living"));
    const cv::NodePtr food = node(folder, id + 1, NodeKind::Category, QStringLiteral("Food"));
    const cv::NodePtr rent = node(expense(), id + 2, NodeKind::Category, QStringLiteral("Rent"));
    auto summary = std::make_shared<cv::Summary>();
    summary->subtractedNodes() = {unit(id + 0), unit(id + 1), unit(id + 2)};
    node(document->categoryTrees()->summary(), id + 3, NodeKind::CategorySummary, QStringLiteral("Spent"), summary);
    // The last ident kept for the program's own categories.
    cv::NodePtr lastSystem = expense()->findMemberWithIdent(cv::kLastSystemIdent);
    if (!lastSystem) lastSystem = node(expense(), cv::kLastSystemIdent, NodeKind::Category, QStringLiteral("Kept"));
    document->commitCategoryTrees();
    document->updateExpense(samplebook::entry(cv::EntryKind::Expense, QDate::currentDate(), 800, id + 1, 10), nullptr);
    ASSERT_TRUE(document->hasCache(food));

    // Delete and merge are off for system categories and nodes with children.
    for (const cv::NodePtr &n : {expense()->findMemberWithIdent(cv::CategoryTrees::ExpenseMisc), lastSystem, folder}) {
        selectCategory(n);
        EXPECT_FALSE(w->validateMenuItem(cv::tag::DeleteCategory)) << n->ident();
        EXPECT_FALSE(w->validateMenuItem(cv::tag::MergeCategory)) << n->ident();
        QAction *remove = delegate->actionForTag(cv::tag::DeleteCategory);
        remove->setEnabled(true);
        remove->trigger();
        EXPECT_TRUE(n->parent()) << n->ident();
    }

    // A category with entries asks first; declined, nothing changes.
    selectCategory(food);
    alerts.answers = {cv::AlertButton::Alternate};
    w->execGridCommand(cv::tag::DeleteCategory);
    EXPECT_EQ(food->parent(), folder.get());
    ASSERT_EQ(alerts.asked.size(), 1u);
    // Confirmed: the last category of the folder goes and the folder is a category again.
    alerts.answers = {cv::AlertButton::Default};
    w->execGridCommand(cv::tag::DeleteCategory);
    EXPECT_FALSE(food->parent());
    EXPECT_EQ(folder->kind(), NodeKind::Category);
    EXPECT_EQ(summaries(document->categoryTrees()->summary()),
              QStringList{QStringLiteral("Spent:-%1,%2").arg(id).arg(id + 2)});

    // Merging moves the entries of one category into another of the same side.
    document->updateExpense(samplebook::entry(cv::EntryKind::Expense, QDate::currentDate(), 300, id + 2, 10), nullptr);
    int asked = 0;
    w->setMergeChooser([&asked, id](cv::BookWindow &, const cv::NodePtr &) {
        ++asked;
        return id + 0;
    });
    selectCategory(rent);
    w->execGridCommand(cv::tag::MergeCategory);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(document->hasCache(rent));
    EXPECT_EQ(document->summaryForCategoryMonths(folder, QDate::currentDate(), 1), 300);
    // A summary unit naming no category counts as 0.
    const cv::NodePtr spent = document->categoryTrees()->summary()->childAt(0);
    std::dynamic_pointer_cast<cv::Summary>(spent->extra())->subtractedNodes().push_back(unit(987654));
    EXPECT_EQ(document->summaryForCategoryMonths(spent, QDate::currentDate(), 1), 300);

    // New category and folder go to the nearest folder or root.
    selectCategory(rent);
    alerts.names = {QStringLiteral("Travel")};
    w->execGridCommand(cv::tag::NewCategoryFolder);
    EXPECT_EQ(expense()->children().back()->name(), QStringLiteral("Travel"));
    EXPECT_EQ(expense()->children().back()->kind(), NodeKind::Group);
    selectCategory(expense()->children().back());
    alerts.names = {QStringLiteral("Train")};
    w->execGridCommand(cv::tag::NewCategory);
    EXPECT_EQ(names(*document, expense()->children().back()), QStringList{"Train"});

    // On a summary, "new category" opens the summary sheet.
    selectCategory(document->categoryTrees()->summary()->childAt(0));
    summaryExtra = std::make_shared<cv::Summary>();
    sheetNames = {QStringLiteral("Net")};
    w->execGridCommand(cv::tag::NewCategory);
    EXPECT_EQ(names(*document, document->categoryTrees()->summary()), (QStringList{"Spent", "Net"}));
}

TEST_F(BookCommandsTest, WizardOffersWhatTheBookCanTakeAndStartsTheCommand)
{
    open();
    // The securities page of a book without securities offers only a new security.
    {
        cv::WizardDialog wizard(document, cv::tag::WizardSecurities, w);
        EXPECT_EQ(wizard.tabView()->currentIndex(), cv::WizardDialog::SecuritiesPage);
        EXPECT_TRUE(wizard.investChoice()->button(0)->isEnabled());
        EXPECT_FALSE(wizard.investChoice()->button(1)->isEnabled());
        EXPECT_FALSE(wizard.investChoice()->button(2)->isEnabled());
        EXPECT_EQ(wizard.resultCode(), cv::tag::NewSecurity);
    }
    auto security = std::make_shared<cv::Security>();
    security->setName(QStringLiteral("Old"));
    document->addSecurity(security);
    {
        cv::WizardDialog wizard(document, cv::tag::WizardSecurities, w);
        EXPECT_TRUE(wizard.investChoice()->button(1)->isEnabled());
        EXPECT_FALSE(wizard.investChoice()->button(2)->isEnabled());
        wizard.investChoice()->button(1)->setChecked(true);
        EXPECT_EQ(wizard.resultCode(), cv::tag::NewInvestment);
    }
    {
        cv::WizardDialog wizard(document, cv::tag::WizardFirst, w);
        wizard.debtChoice()->button(1)->setChecked(true);
        EXPECT_EQ(wizard.resultCode(), 29001);
        wizard.assetDebtTabView()->setCurrentIndex(1);
        EXPECT_EQ(wizard.resultCode(), 29102);
        cv::WizardDialog categories(document, cv::tag::WizardExpense, w);
        EXPECT_EQ(categories.tabView()->currentIndex(), cv::WizardDialog::CategoriesPage);
        EXPECT_EQ(categories.resultCode(), cv::tag::NewCategory);
    }

    // Cancel changes neither the page nor the books.
    w->selectTabWithIdentifier(QStringLiteral("TB03"));
    const QStringList accounts = shape(*document, asset());
    w->setWizardRunner([](cv::Book *, int, QWidget *) { return 0; });
    w->selectTabWithIdentifier(QStringLiteral("TB07"));
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB03"));
    EXPECT_EQ(shape(*document, asset()), accounts);

    // 25311 starts a new category under the expense root, on the viewer.
    int asked = 0;
    w->setWizardRunner([&asked](cv::Book *, int menuId, QWidget *) {
        asked = menuId;
        return cv::tag::NewCategory;
    });
    alerts.names = {QStringLiteral("Pets")};
    w->wizardAction(cv::tag::WizardExpense);
    EXPECT_EQ(asked, cv::tag::WizardExpense);
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB01"));
    EXPECT_EQ(expense()->children().back()->name(), QStringLiteral("Pets"));

    // "Add a holding" puts the new security's holding into the investment account it reveals.
    sheetNames = {QStringLiteral("Broker")};
    w->setWizardRunner([](cv::Book *, int, QWidget *) { return cv::tag::NewInvestment; });
    w->wizardAction(cv::tag::WizardSecurities);
    const cv::NodePtr broker = asset()->children().back();
    ASSERT_EQ(broker->kind(), NodeKind::Investment);
    selectAccount(asset()->childAt(0));
    w->setWizardRunner([](cv::Book *, int, QWidget *) { return cv::tag::AddSecurity; });
    w->wizardAction(cv::tag::WizardSecurities);
    ASSERT_EQ(broker->countChild(), 2);
    EXPECT_EQ(broker->childAt(1)->kind(), NodeKind::Holding);
    EXPECT_EQ(document->displayName(*broker->childAt(1)), QStringLiteral("Acme"));
    EXPECT_EQ(w->selectedAccountNode(), broker);
}

TEST_F(BookCommandsTest, ABookBuiltThroughTheCommandsReadsBackTheSame)
{
    open();
    // Accounts of each kind through their sheets, a folder, categories, summaries.
    sheetNames = {QStringLiteral("Purse"), QStringLiteral("Bank"),   QStringLiteral("Broker"), QStringLiteral("Car"),
                  QStringLiteral("Card"),  QStringLiteral("Card 2"), QStringLiteral("Family")};
    for (int tag : {cv::tag::NewCash, cv::tag::NewBank, cv::tag::NewInvestment, cv::tag::NewOtherAsset}) {
        selectAccount(asset());
        w->execGridCommand(tag);
    }
    for (int tag : {cv::tag::NewCreditCard, cv::tag::NewCreditCard, cv::tag::NewOtherDebt}) {
        selectAccount(document->accountTrees()->debt());
        w->execGridCommand(tag);
    }
    selectAccount(asset()->children().back());
    alerts.names = {QStringLiteral("Everyday")};
    w->execGridCommand(cv::tag::GroupAccounts);
    alerts.names = {QStringLiteral("Salary")};
    selectCategory(document->categoryTrees()->income());
    w->execGridCommand(cv::tag::NewCategory);
    alerts.names = {QStringLiteral("Food")};
    selectCategory(expense());
    w->execGridCommand(cv::tag::NewCategory);
    const int salary = document->categoryTrees()->income()->children().back()->ident();
    const int food = expense()->children().back()->ident();
    summaryExtra = std::make_shared<cv::Summary>();
    summaryExtra->addedNodes() = {unit(salary)};
    summaryExtra->subtractedNodes() = {unit(food)};
    sheetNames = {QStringLiteral("Net")};
    selectCategory(document->categoryTrees()->summary());
    w->execGridCommand(cv::tag::NewCategory);

    const auto snapshot = [](const cv::Book &d) {
        return QStringList() << shape(d, d.accountTrees()->asset()) << shape(d, d.accountTrees()->debt())
                             << shape(d, d.categoryTrees()->income()) << shape(d, d.categoryTrees()->expense())
                             << shape(d, d.categoryTrees()->summary()) << summaries(d.categoryTrees()->summary());
    };
    const QStringList built = snapshot(*document);
    EXPECT_TRUE(built.contains(QStringLiteral("Net:%1-%2").arg(salary).arg(food)));
    // Each item is numbered by its own trees: no ident twice among the accounts, nor the categories.
    const auto identsDiffer = [](const QStringList &rows) {
        QStringList idents;
        for (const QString &r : rows)
            if (r.section(u' ', 2, 2).toInt() > 0) idents << r.section(u' ', 2, 2);
        return idents.removeDuplicates() == 0;
    };
    EXPECT_TRUE(identsDiffer(shape(*document, asset()) + shape(*document, document->accountTrees()->debt())));
    EXPECT_TRUE(identsDiffer(shape(*document, document->categoryTrees()->income()) + shape(*document, expense()) +
                             shape(*document, document->categoryTrees()->summary())));
    const QString file = path(QStringLiteral("built.cvv2"));
    ASSERT_TRUE(delegate->openBooks().saveDocumentAs(document, file));
    delegate->openBooks().closeDocument(document, false);
    cv::Book *reopened = delegate->openBooks().openDocument(file);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(snapshot(*reopened), built);
}

// A book from outside may hold the greatest ident there is: it reads as it
// is, and every command that would number a new item says no instead.
// Another window's edit fails while an account's sheet is up and the book is
// read back: the sheet's OK then changes nothing and says so.
TEST_F(BookCommandsTest, ASheetEndedOnANodeTheBookReadBackChangesNothing)
{
    open();
    const cv::NodePtr wallet = document->findAccount(cv::AccountTrees::WalletIdent);
    samplebook::node(asset(), 2001, NodeKind::Cash, QStringLiteral("Purse"));
    document->commitAccountTrees();
    w->setAccountSheetOpener(
        [&](cv::BookWindow &, cv::BookWindow::AccountSheet, const cv::NodePtr &node, cv::BookWindow::SheetDone done) {
            cv::SQLDatabase3 &store = *document->store()->database();
            ASSERT_TRUE(store.performQuery(QStringLiteral(
                "CREATE TEMP TRIGGER stop AFTER INSERT ON InfoTable BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")));
            document->renameNode(document->findAccount(2001), QStringLiteral("Bag"));
            ASSERT_TRUE(store.performQuery(QStringLiteral("DROP TRIGGER temp.stop;")));
            node->setName(QStringLiteral("Changed"));
            done({1, std::nullopt});
        });
    w->editAccount(wallet);
    EXPECT_EQ(alerts.asked.size(), 2u) << "the rename's, then the sheet's";
    EXPECT_NE(document->findAccount(cv::AccountTrees::WalletIdent)->name(), QStringLiteral("Changed"));
    EXPECT_EQ(document->store()->getAccountData().indexOf("Changed"), -1);
}

TEST_F(BookCommandsTest, IdentsAtTheirLimitRefuseNewItemsAndTheBookReadsOn)
{
    open();
    alerts.names = {QStringLiteral("Food")};
    selectCategory(expense());
    w->execGridCommand(cv::tag::NewCategory);
    sheetNames = {QStringLiteral("Purse")};
    selectAccount(asset());
    w->execGridCommand(cv::tag::NewCash);
    const QString file = path(QStringLiteral("limit.cvxf"));
    ASSERT_TRUE(delegate->openBooks().saveDocumentAs(document, file));
    const int food = expense()->children().back()->ident(), purse = asset()->children().back()->ident();
    delegate->openBooks().closeDocument(document, false);
    QFile xml(file);
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(xml.readAll());
    xml.close();
    for (int ident : {food, purse}) {
        const QString id = QStringLiteral(" id=\"%1\"").arg(ident);
        ASSERT_EQ(text.count(id), 1) << ident;
        text.replace(id, QStringLiteral(" id=\"2147483647\""));
    }
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly | QIODevice::Truncate));
    xml.write(text.toUtf8());
    xml.close();

    document = delegate->openBooks().openDocument(file);
    ASSERT_NE(document, nullptr);
    w = window();
    ASSERT_NE(w, nullptr);
    scriptSheets();
    EXPECT_EQ(expense()->children().back()->ident(), 2147483647);
    EXPECT_EQ(asset()->children().back()->ident(), 2147483647);
    const auto count = [this] {
        return std::pair{expense()->countChild() + document->categoryTrees()->summary()->countChild(),
                         asset()->countChild() + document->accountTrees()->debt()->countChild()};
    };
    const auto before = count();
    const cv::NodePtr summaries = document->categoryTrees()->summary(), debt = document->accountTrees()->debt();
    const auto sheetsBefore = sheets.size();
    struct Case {
        int tag;
        cv::NodePtr selected;
    } cases[] = {{cv::tag::NewCategory, expense()->children().back()},
                 {cv::tag::NewCategoryFolder, expense()},
                 {cv::tag::NewCategory, summaries},
                 {cv::tag::NewCash, asset()},
                 {cv::tag::NewCreditCard, debt},
                 {cv::tag::GroupAccounts, asset()->children().back()}};
    for (const Case &c : cases) {
        (c.tag == cv::tag::NewCategory || c.tag == cv::tag::NewCategoryFolder) ? selectCategory(c.selected)
                                                                               : selectAccount(c.selected);
        const size_t asked = alerts.asked.size();
        alerts.names = {QStringLiteral("More")};
        sheetNames = {QStringLiteral("More")};
        w->execGridCommand(c.tag);
        EXPECT_EQ(alerts.asked.size(), asked + 1) << c.tag;
        EXPECT_EQ(count(), before) << c.tag;
    }
    // Refused before the sheet: nothing typed is lost.
    EXPECT_EQ(sheets.size(), sheetsBefore);
}

TEST_F(DelegateTest, TheAccountSheetsOfTheProgramEndInTheCommands)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    w->show();
    const cv::NodePtr asset = document->accountTrees()->asset();
    const int before = asset->countChild();
    w->expandMe(asset);
    for (const bool ok : {false, true}) {
        w->execGridCommand(cv::tag::NewCash);
        auto *sheet = w->findChild<cv::CashAccountSheet *>();
        ASSERT_NE(sheet, nullptr);
        sheet->nameField()->setText(QStringLiteral("Purse"));
        Q_EMIT sheet->nameField()->textEdited(sheet->nameField()->text());
        if (ok) {
            sheet->okPushed();
        } else {
            alerts.answers = {cv::AlertButton::Default}; // discard the new account
            sheet->cancelPushed();
        }
        QTRY_VERIFY(!w->findChild<cv::CashAccountSheet *>() || !w->findChild<cv::CashAccountSheet *>()->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(asset->countChild(), before + (ok ? 1 : 0));
    }
    EXPECT_EQ(asset->children().back()->name(), QStringLiteral("Purse"));
    EXPECT_GT(asset->children().back()->ident(), cv::kUniqueIdSeed);
}

using WizardScreenshotTest = InLanguages<DelegateTest>;

TEST_P(WizardScreenshotTest, EachPage)
{
    cv::Book *document = delegate->newDocument();
    for (const auto &[menuId, name] :
         {std::pair{cv::tag::WizardFirst, "wizard-accounts"}, std::pair{cv::tag::WizardExpense, "wizard-categories"},
          std::pair{cv::tag::WizardSecurities, "wizard-securities"}}) {
        cv::WizardDialog wizard(document, menuId, window());
        wizard.show();
        wizard.adjustSize();
        QTest::qWait(20);
        EXPECT_TRUE(cvtest::saveScreenshot(wizard, language(), QLatin1String(name)));
    }
    // The Account and Category menus, opened on the viewer.
    window()->show();
    const QList<QAction *> menus = window()->menuBar()->actions();
    for (int at : {3, 4}) {
        QMenu *menu = menus.value(at) ? menus.value(at)->menu() : nullptr;
        ASSERT_NE(menu, nullptr);
        menu->popup(window()->mapToGlobal(QPoint(0, 0)));
        EXPECT_TRUE(cvtest::saveScreenshot(menu->grab().toImage(), language(),
                                           at == 3 ? QStringLiteral("menu-account") : QStringLiteral("menu-category")));
        menu->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, WizardScreenshotTest, ::testing::Values("ja", "en"));
