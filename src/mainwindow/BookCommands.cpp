#include "mainwindow/BookCommands.h"

#include "platform/Assert.h"

#include "controls/CommandRow.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "mainwindow/SecuritiesWindow.h"
#include "controls/Tags.h"
#include "model/OpeningHolding.h"
#include "panels/sheets/BankAccountSheet.h"
#include "panels/sheets/CashAccountSheet.h"
#include "panels/sheets/CardAccountSheet.h"
#include "panels/sheets/LoanDialog.h"
#include "panels/dialogs/MergeCategoryDialog.h"
#include "panels/sheets/SummaryDialog.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

namespace cv {

using cv::NodeKind;

namespace {

// The first node at or above `node` that may hold new folders: a folder or a root.
NodePtr nearestFolder(Node *node, NodeKind rootKindBelow)
{
    for (Node *n = node; n; n = n->parent()) {
        if (n->kind() == NodeKind::Group || n->kind() < rootKindBelow) return n->shared_from_this();
    }
    return nullptr;
}

// A sheet opened before a failed edit read the book back may end on a node
// the book no longer holds: its change is not made, and the user is told.
bool heldOrNew(const Book &book, const NodePtr &node)
{
    if (!node || node->ident() <= 0 || book.accountTrees()->holds(*node) || book.categoryTrees()->holds(*node))
        return true;
    Alert::warn(cv::localizedString("Edit-Not-Written"));
    return false;
}

cv::TreeSelection::Tree treeOf(const Node *root, const std::vector<std::pair<NodePtr, cv::TreeSelection::Tree>> &roots)
{
    for (const auto &[node, tree] : roots) {
        if (node && node.get() == root) return tree;
    }
    return cv::TreeSelection::None;
}

cv::TreeSelection selectionOf(const NodePtr &node, cv::TreeSelection::Tree tree)
{
    cv::TreeSelection s;
    if (!node) return s;
    s.selected = true;
    s.tree = tree;
    s.kind = node->kind();
    s.ident = node->ident();
    s.hasChildren = node->countChild() > 0;
    s.parentKind = node->parent() ? cv::raw(node->parent()->kind()) : -1;
    return s;
}

std::optional<NodeKind> accountKindForTag(int tag)
{
    switch (tag) {
    case cv::tag::NewCash: return NodeKind::Cash;
    case cv::tag::NewBank: return NodeKind::Bank;
    case cv::tag::NewInvestment: return NodeKind::Investment;
    case cv::tag::NewOtherAsset: return NodeKind::GeneralAsset;
    case cv::tag::NewLoan: return NodeKind::Loan;
    case cv::tag::NewCreditCard: return NodeKind::CreditCard;
    case cv::tag::NewOtherDebt: return NodeKind::GeneralDebt;
    case cv::tag::NewAccountSummary: return NodeKind::AccountSummary;
    default: return std::nullopt;
    }
}

NodePtr newNode(NodeKind kind)
{
    auto node = std::make_shared<Node>();
    node->setKind(kind);
    return node;
}

// Whether a node whose entries go with it may be deleted: the user said Delete
// to the question the key names.
bool deleteWithDataAgreed(const char *key, const QString &name)
{
    return Alert::confirm(cv::localizedString("Confirm Delete"), cv::formatString(cv::localizedString(key), {name}),
                          cv::localizedString("Delete"));
}

} // namespace

// ---------------------------------------------------------------- rules

cv::TreeSelection BookCommands::accountSelection() const
{
    const NodePtr node = m_window.selectedAccountNode();
    if (!node || !document() || !document()->accountTrees()) return {};
    const AccountTrees &model = *document()->accountTrees();
    return selectionOf(node, treeOf(node->root(), {{model.asset(), cv::TreeSelection::Asset},
                                                   {model.debt(), cv::TreeSelection::Debt},
                                                   {model.summary(), cv::TreeSelection::AccountSummary}}));
}

cv::TreeSelection BookCommands::categorySelection() const
{
    const NodePtr node = m_window.selectedCategoryNode();
    if (!node || !document() || !document()->categoryTrees()) return {};
    // The two system transfer rows are shown below the summaries.
    if (node == document()->autoCashIn() || node == document()->autoCashOut())
        return selectionOf(node, cv::TreeSelection::CategorySummary);
    const CategoryTrees &model = *document()->categoryTrees();
    return selectionOf(node, treeOf(node->root(), {{model.moneyFlow(), cv::TreeSelection::Transfer},
                                                   {model.income(), cv::TreeSelection::Income},
                                                   {model.expense(), cv::TreeSelection::Expense},
                                                   {model.summary(), cv::TreeSelection::CategorySummary}}));
}

bool BookCommands::commandAllowed(int tag) const
{
    if (!document()) return false;
    if (cv::tag::AccountMenu.contains(tag)) return cv::accountCommandAllowed(tag, accountSelection());
    if (cv::tag::CategoryMenu.contains(tag)) return cv::categoryCommandAllowed(tag, categorySelection());
    return false;
}

void BookCommands::exec(int tag)
{
    switch (tag) {
    case cv::tag::NewCash:
    case cv::tag::NewBank:
    case cv::tag::NewInvestment:
    case cv::tag::NewOtherAsset:
    case cv::tag::NewLoan:
    case cv::tag::NewCreditCard:
    case cv::tag::NewOtherDebt:
    case cv::tag::NewAccountSummary: addAccount(tag); break;
    case cv::tag::AddSecurity: addSecurity(); break;
    case cv::tag::GroupAccounts: groupAccount(); break;
    case cv::tag::DeleteAccount: deleteAccount(); break;
    case cv::tag::NewCategory: newCategory(); break;
    case cv::tag::NewCategoryFolder: newCategoryFolder(); break;
    case cv::tag::DeleteCategory: deleteCategory(); break;
    case cv::tag::MergeCategory: mergeCategory(); break;
    case cv::tag::AccountImport: importIntoAccount(); break;
    default: break;
    }
}

void BookCommands::openAccountSheet(AccountSheet sheet, const NodePtr &node, SheetDone whenDone)
{
    // A sheet may end after the window has gone.
    SheetDone done = [alive = std::weak_ptr<char>(m_life), whenDone = std::move(whenDone)](const SheetResult &r) {
        whenDone(r);
    };
    if (m_accountSheetOpener) {
        m_accountSheetOpener(m_window, sheet, node, std::move(done));
        return;
    }
    auto plain = [done](int code, QObject *) { done({code, std::nullopt}); };
    switch (sheet) {
    case AccountSheet::Cash: CashAccountSheet::openCashAccountSheet(document(), node, &m_window, plain); break;
    case AccountSheet::Bank: BankAccountSheet::openBankAccountSheet(document(), node, &m_window, plain); break;
    case AccountSheet::CreditCard: CardAccountSheet::openCardAccountSheet(document(), node, &m_window, plain); break;
    case AccountSheet::Loan:
        LoanDialog::openLoanPanel(document(), node, &m_window, [done](int code, LoanDialog *panel) {
            done({code, panel ? panel->loanData() : std::nullopt});
        });
        break;
    case AccountSheet::Summary: SummaryDialog::openSummaryPanel(document(), node, &m_window, plain); break;
    }
}

std::optional<int> BookCommands::newIdent(bool category) const
{
    std::optional<int> ident;
    if (document() && (category ? document()->categoryTrees() != nullptr : document()->accountTrees() != nullptr))
        ident = category ? document()->categoryTrees()->uniqueId() : document()->accountTrees()->uniqueId();
    if (!ident)
        cv::tellNoIdentLeft(category ? QStringLiteral("Ident-Limit-Category") : QStringLiteral("Ident-Limit-Account"),
                            &m_window);
    return ident;
}

NodePtr BookCommands::addAccount(int tag)
{
    const std::optional<NodeKind> kind = accountKindForTag(tag);
    if (!kind || !document() || !commandAllowed(tag)) return nullptr;
    // Refused before the sheet, so that nothing typed is lost.
    if (!newIdent(false)) return nullptr;
    const NodePtr node = newNode(*kind);
    switch (tag) {
    case cv::tag::NewCash:
    case cv::tag::NewInvestment:
    case cv::tag::NewOtherAsset:
    case cv::tag::NewBank:
        openAccountSheet(tag == cv::tag::NewBank ? AccountSheet::Bank : AccountSheet::Cash, node,
                         [this, node](const SheetResult &r) { cashSheetDidEnd(r.code, node); });
        return tag == cv::tag::NewBank ? node : nullptr;
    case cv::tag::NewLoan:
    case cv::tag::NewCreditCard:
    case cv::tag::NewOtherDebt:
        openAccountSheet(tag == cv::tag::NewLoan         ? AccountSheet::Loan
                         : tag == cv::tag::NewCreditCard ? AccountSheet::CreditCard
                                                         : AccountSheet::Cash,
                         node, [this, node](const SheetResult &r) { debtSheetDidEnd(r, node); });
        return node;
    default:
        openAccountSheet(AccountSheet::Summary, node,
                         [this, node](const SheetResult &r) { summarySheetDidEnd(r.code, node); });
        return node;
    }
}

void BookCommands::editAccount(const NodePtr &account)
{
    const NodePtr node = account ? account : m_window.selectedAccountNode();
    if (!node || !document()) return;
    auto cash = [this, node](const SheetResult &r) { cashSheetDidEnd(r.code, node); };
    auto debt = [this, node](const SheetResult &r) { debtSheetDidEnd(r, node); };
    switch (node->kind()) {
    case NodeKind::Cash:
    case NodeKind::Investment:
    case NodeKind::GeneralAsset:
    case NodeKind::GeneralDebt: openAccountSheet(AccountSheet::Cash, node, cash); break;
    case NodeKind::Bank: openAccountSheet(AccountSheet::Bank, node, cash); break;
    case NodeKind::CreditCard: openAccountSheet(AccountSheet::CreditCard, node, debt); break;
    case NodeKind::Loan: openAccountSheet(AccountSheet::Loan, node, debt); break;
    case NodeKind::AccountSummary:
        openAccountSheet(AccountSheet::Summary, node,
                         [this, node](const SheetResult &r) { summarySheetDidEnd(r.code, node); });
        break;
    default: break;
    }
}

void BookCommands::editCategorySummary(const NodePtr &summary)
{
    if (!summary || summary->kind() != NodeKind::CategorySummary || !document()) return;
    openAccountSheet(AccountSheet::Summary, summary,
                     [this, summary](const SheetResult &r) { summarySheetDidEnd(r.code, summary); });
}

NodePtr BookCommands::cashSheetDidEnd(int code, const NodePtr &node)
{
    if (code <= 0 || !document() || !heldOrNew(*document(), node)) return nullptr;
    NodePtr result;
    {
        cv::EditScope edit(*document());
        if (node && node->ident() > 0) {
            // A changed currency changes every balance that converts from it.
            document()->updateAccount(node, code == 2);
            if (code != 2) result = node;
        } else if (node && document()->accountTrees()) {
            const std::optional<int> ident = newIdent(false);
            if (!ident) return nullptr;
            node->setIdent(*ident);
            if (node->kind() == NodeKind::Investment) {
                const NodePtr cash = newNode(NodeKind::CashPart);
                cash->setIdent(0);
                cash->setName(QStringLiteral("SYS:Invest-Cache"));
                cash->setCurrency(node->currency());
                node->appendChild(cash);
            }
            document()->addNode(node, document()->accountTrees()->asset());
            result = node;
        }
        document()->commitAccountTrees();
    }
    if (node && node->parent()) m_window.expandMe(node);
    // An edit taken back added nothing: a chooser gets no account.
    return result && document()->findAccount(result->ident()) == result ? result : nullptr;
}

void BookCommands::debtSheetDidEnd(const SheetResult &result, const NodePtr &node)
{
    if (result.code <= 0 || !node || !document() || !document()->accountTrees()) return;
    if (!heldOrNew(*document(), node)) return;
    const bool loan = node->kind() == NodeKind::Loan;
    {
        cv::EditScope edit(*document());
        const bool fresh = node->ident() <= 0;
        if (fresh) {
            const std::optional<int> ident = newIdent(false);
            if (!ident) return;
            node->setIdent(*ident);
            document()->addNode(node, document()->accountTrees()->debt());
        }
        if (loan && result.loanData) document()->putLoan(node, *result.loanData);
        if (loan || !fresh) document()->updateAccount(node, true);
    }
    m_window.expandMe(node);
}

void BookCommands::summarySheetDidEnd(int code, const NodePtr &node)
{
    if (code <= 0 || !node || !document() || !document()->accountTrees() || !document()->categoryTrees()) return;
    if (!heldOrNew(*document(), node)) return;
    const bool categories = node->kind() == NodeKind::CategorySummary;
    const bool fresh = node->ident() < 1;
    {
        cv::EditScope edit(*document());
        if (fresh) {
            const std::optional<int> ident = newIdent(categories);
            if (!ident) return;
            node->setIdent(*ident);
            document()->addNode(node, categories ? document()->categoryTrees()->summary()
                                                 : document()->accountTrees()->summary());
        }
        // The commit announces the tree; the pages read what it names.
        if (categories)
            document()->commitCategoryTrees();
        else
            document()->commitAccountTrees();
    }
    if (fresh || (!categories && node->parent())) m_window.expandMe(node);
}

// ---------------------------------------------------------------- accounts

NodePtr BookCommands::selectedInvestAccount() const
{
    const NodePtr node = m_window.selectedAccountNode();
    for (Node *n = node.get(); n && n->parent(); n = n->parent()) {
        if (n->kind() == NodeKind::Investment) return n->shared_from_this();
    }
    return nullptr;
}

void BookCommands::openSecuritySheet(std::function<void(const SecurityPtr &)> whenDone)
{
    auto done = [alive = std::weak_ptr<char>(m_life), whenDone = std::move(whenDone)](const SecurityPtr &security) {
        whenDone(security);
    };
    if (m_securitySheetOpener) {
        m_securitySheetOpener(m_window, std::move(done));
        return;
    }
    m_window.showSecuritiesWindow();
    if (cv::SecuritiesWindow *window = m_window.securityWindow()) window->securityNewWithHandler(std::move(done));
}

void BookCommands::addSecurity()
{
    if (!document() || !commandAllowed(cv::tag::AddSecurity)) return;
    const NodePtr account = selectedInvestAccount();
    openSecuritySheet([this, account](const SecurityPtr &security) { addSecuritySheetDidEnd(security, account); });
}

void BookCommands::addSecuritySheetDidEnd(const SecurityPtr &security, const NodePtr &account)
{
    if (!security || !account || !account->parent() || !document()) return;
    // The security was asked for this account: its holding goes there.
    if (document()->addSecurityNodeIfNeeded(account, security->ident())) document()->commitAccountTrees();
    m_window.expandMe(account);
}

cv::ChooserItem BookCommands::addInvestAccountCommand(cv::CommandRow &command)
{
    if (!newIdent(false)) return {};
    beginCommand(std::static_pointer_cast<cv::CommandRow>(command.weak_from_this().lock()));
    const NodePtr node = newNode(NodeKind::Investment);
    openAccountSheet(AccountSheet::Cash, node,
                     [this, node](const SheetResult &r) { endCommandWithItem(cashSheetDidEnd(r.code, node)); });
    return {};
}

void BookCommands::beginCommand(std::shared_ptr<cv::CommandRow> command)
{
    m_performingCommand = std::move(command);
}

void BookCommands::endCommandWithItem(const NodePtr &node)
{
    const std::shared_ptr<cv::CommandRow> command = std::move(m_performingCommand);
    m_performingCommand.reset();
    if (command) command->returnItem(node ? cv::ChooserItem::fromNode(node) : cv::ChooserItem());
}

void BookCommands::deleteAccount()
{
    const NodePtr node = m_window.selectedAccountNode();
    // The menu's rule lets only a deletable row through; a slip must not crash.
    CV_ASSERT_OR(node && document() && commandAllowed(cv::tag::DeleteAccount) && node->parent(), return );
    const NodePtr parent = node->parent()->shared_from_this();
    if (node->kind() == NodeKind::Holding) {
        const auto unit = std::dynamic_pointer_cast<OpeningHolding>(node->extra());
        if (const SecurityPtr security = unit ? document()->findSecurity(unit->security()) : nullptr)
            m_window.maybeDeleteSecurity(security, parent);
        return;
    }
    if (document()->hasCache(node) && !deleteWithDataAgreed("Account %@ has Data", document()->displayName(*node)))
        return;
    document()->deleteNode(node);
}

void BookCommands::groupAccount()
{
    const NodePtr node = m_window.selectedAccountNode();
    CV_ASSERT_OR(node && document() && commandAllowed(cv::tag::GroupAccounts), return );
    // Never inside an account or a holding: the nearest folder or root.
    const NodePtr place = nearestFolder(node.get(), NodeKind::CashPart);
    if (!place || !newIdent(false)) return;
    const std::optional<QString> name =
        Alert::inputName(cv::localizedString("New Account Group"), cv::localizedString("Account Group Title"));
    const QString trimmed = name ? name->trimmed() : QString();
    const std::optional<int> ident = trimmed.isEmpty() ? std::nullopt : newIdent(false);
    if (!ident) return;
    const NodePtr folder = newNode(NodeKind::Group);
    folder->setName(trimmed);
    folder->setIdent(*ident);
    for (Node *up = place.get(); up; up = up->parent()) up->setCollapsed(false);
    document()->addNode(folder, place);
    m_window.expandMe(folder);
}

// ---------------------------------------------------------------- categories

void BookCommands::newCategory()
{
    const NodePtr node = m_window.selectedCategoryNode();
    if (!node || !document() || !commandAllowed(cv::tag::NewCategory) || !newIdent(true)) return;
    if (categorySelection().tree != cv::TreeSelection::CategorySummary) {
        const std::optional<QString> name =
            Alert::inputName(cv::localizedString("New Actual Item"), cv::localizedString("Actual Item Title"));
        if (name) addCategoryItem(NodeKind::Category, *name);
        return;
    }
    const NodePtr summary = newNode(NodeKind::CategorySummary);
    openAccountSheet(AccountSheet::Summary, summary,
                     [this, summary](const SheetResult &r) { summarySheetDidEnd(r.code, summary); });
}

void BookCommands::newCategoryFolder()
{
    CV_ASSERT_OR(m_window.selectedCategoryNode() && document() && commandAllowed(cv::tag::NewCategoryFolder), return );
    if (!newIdent(true)) return;
    const std::optional<QString> name =
        Alert::inputName(cv::localizedString("New Actual Group"), cv::localizedString("Actual Group Title"));
    if (name) addCategoryItem(NodeKind::Group, *name);
}

NodePtr BookCommands::addCategoryItem(cv::NodeKind kind, const QString &name)
{
    const NodePtr node = m_window.selectedCategoryNode();
    const QString trimmed = name.trimmed();
    if (!node || !document() || !document()->categoryTrees() || trimmed.isEmpty()) return nullptr;
    const NodePtr place = nearestFolder(node.get(), NodeKind::CashPart);
    // Categories and folders live in the income and expense trees only.
    if (!place || !document()->categoryTrees()->isIncomeOrExpense(place.get())) return nullptr;
    const std::optional<int> ident = newIdent(true);
    if (!ident) return nullptr;
    const NodePtr item = newNode(kind);
    item->setName(trimmed);
    item->setIdent(*ident);
    for (Node *up = place.get(); up; up = up->parent()) up->setCollapsed(false);
    document()->addNode(item, place);
    m_window.expandMe(item);
    return item;
}

void BookCommands::deleteCategory()
{
    const NodePtr node = m_window.selectedCategoryNode();
    CV_ASSERT_OR(node && document() && commandAllowed(cv::tag::DeleteCategory) && node->parent(), return );
    if (node->kind() != NodeKind::Group && document()->hasCache(node) &&
        !deleteWithDataAgreed("Actual %@ has Data", document()->displayName(*node)))
        return;
    document()->deleteNode(node);
}

void BookCommands::mergeCategory()
{
    const NodePtr node = m_window.selectedCategoryNode();
    CV_ASSERT_OR(node && document() && commandAllowed(cv::tag::MergeCategory), return );
    if (node->kind() != NodeKind::Category) return;
    const int target = m_mergeChooser ? m_mergeChooser(m_window, node)
                                      : MergeCategoryDialog::runMergePanel(document(), node->ident(), &m_window);
    if (target < 1 || target == node->ident()) return;
    // The entries go to a category of the same side only.
    const bool expense = node->hasAncestor(document()->categoryTrees()->expense().get());
    const NodePtr receiver = expense ? document()->findExpense(target) : document()->findIncome(target);
    if (!receiver || receiver->kind() != NodeKind::Category) return;
    document()->moveItem(node, target);
}

void BookCommands::importIntoAccount()
{
    const NodePtr node = m_window.selectedAccountNode();
    CV_ASSERT_OR(node && document() && commandAllowed(cv::tag::AccountImport), return );
    m_window.importData(cv::tag::AccountImport, node->ident());
}

} // namespace cv

// ---------------------------------------------------------------- the new item wizard
