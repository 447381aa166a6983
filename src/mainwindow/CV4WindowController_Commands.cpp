// The account and category commands of the viewer: new accounts through
// their sheets, editing, grouping and deleting accounts, new categories,
// folders and summaries, deleting and merging categories, and the ends of
// the sheets they open.
#include "mainwindow/CV4WindowController.h"

#include "controls/CommandUnitModel.h"
#include "document/CV4Document.h"
#include "document/EditScope.h"
#include "mainwindow/AccountOutlineView.h"
#include "mainwindow/BrandWindow.h"
#include "mainwindow/ActualOutlineView.h"
#include "mainwindow/MenuTags.h"
#include "mainwindow/ViewerModel.h"
#include "mainwindow/ViewerPage.h"
#include "mainwindow/WizardDialogController.h"
#include "model/CV4InvestUnit.h"
#include "model/CV4Summary.h"
#include "panels/BankPanelController.h"
#include "panels/CachePanelController.h"
#include "panels/CreditPanelController.h"
#include "panels/LoanPanelController.h"
#include "panels/MergeActualPanelController.h"
#include "panels/SummaryPanelController.h"
#include "platform/CV4Alert.h"
#include "platform/Localization.h"

#include <QItemSelectionModel>

using cv::NodeKind;

namespace {

CVUnitModelPtr sharedOf(CVUnitModel *node)
{
    return node ? node->shared_from_this() : nullptr;
}

CVUnitModelPtr selectedNode(CV4AccountView *grid)
{
    const cv::ViewerModel *model = grid ? grid->viewerModel() : nullptr;
    return model ? sharedOf(model->nodeAt(grid->selectedRow())) : nullptr;
}

// The first node at or above `node` that may hold new folders: a folder or a root.
CVUnitModelPtr nearestFolder(CVUnitModel *node, int rootKindBelow)
{
    for (CVUnitModel *n = node; n; n = n->parent()) {
        if (n->kind() == NodeKind::Group || n->kind() < rootKindBelow) return n->shared_from_this();
    }
    return nullptr;
}

cv::TreeSelection::Tree treeOf(const CVUnitModel *root, const std::vector<std::pair<CVUnitModelPtr, cv::TreeSelection::Tree>> &roots)
{
    for (const auto &[node, tree] : roots) {
        if (node && node.get() == root) return tree;
    }
    return cv::TreeSelection::None;
}

cv::TreeSelection selectionOf(const CVUnitModelPtr &node, cv::TreeSelection::Tree tree)
{
    cv::TreeSelection s;
    if (!node) return s;
    s.selected = true;
    s.tree = tree;
    s.kind = node->kind();
    s.ident = node->ident();
    s.hasChildren = node->countChild() > 0;
    s.parentKind = node->parent() ? node->parent()->kind() : -1;
    return s;
}

std::optional<int> accountKindForTag(int tag)
{
    switch (tag) {
    case cv::tag::NewCash: return cv::raw(NodeKind::Cash);
    case cv::tag::NewBank: return cv::raw(NodeKind::Bank);
    case cv::tag::NewInvestment: return cv::raw(NodeKind::Investment);
    case cv::tag::NewOtherAsset: return cv::raw(NodeKind::GeneralAsset);
    case cv::tag::NewLoan: return cv::raw(NodeKind::Loan);
    case cv::tag::NewCreditCard: return cv::raw(NodeKind::CreditCard);
    case cv::tag::NewOtherDebt: return cv::raw(NodeKind::GeneralDebt);
    case cv::tag::NewAccountSummary: return cv::raw(NodeKind::AccountSummary);
    default: return std::nullopt;
    }
}

CVUnitModelPtr newNode(int kind)
{
    auto node = std::make_shared<CVUnitModel>();
    node->setKind(kind);
    return node;
}

} // namespace

// ---------------------------------------------------------------- selection and rules

CVUnitModelPtr CV4WindowController::selectedAccountNode() const
{
    const cv::ViewerPage *viewer = viewerPage();
    return viewer ? selectedNode(viewer->accountView()) : nullptr;
}

CVUnitModelPtr CV4WindowController::selectedActualNode() const
{
    const cv::ViewerPage *viewer = viewerPage();
    return viewer ? selectedNode(viewer->actualView()) : nullptr;
}

cv::TreeSelection CV4WindowController::accountSelection() const
{
    const CVUnitModelPtr node = selectedAccountNode();
    if (!node || !m_document || !m_document->accountModel()) return {};
    const CV4AccountModel &model = *m_document->accountModel();
    return selectionOf(node, treeOf(node->root(), {{model.asset(), cv::TreeSelection::Asset},
                                                   {model.debt(), cv::TreeSelection::Debt},
                                                   {model.summary(), cv::TreeSelection::AccountSummary}}));
}

cv::TreeSelection CV4WindowController::actualSelection() const
{
    const CVUnitModelPtr node = selectedActualNode();
    if (!node || !m_document || !m_document->actualModel()) return {};
    // The two system transfer rows are shown below the summaries.
    if (node == m_document->autoCacheIn() || node == m_document->autoCacheOut())
        return selectionOf(node, cv::TreeSelection::CategorySummary);
    const CV4ActualModel &model = *m_document->actualModel();
    return selectionOf(node, treeOf(node->root(), {{model.moneyFlow(), cv::TreeSelection::Transfer},
                                                   {model.income(), cv::TreeSelection::Income},
                                                   {model.expense(), cv::TreeSelection::Expense},
                                                   {model.summary(), cv::TreeSelection::CategorySummary}}));
}

bool CV4WindowController::gridCommandAllowed(int tag) const
{
    if (!m_document) return false;
    if (tag >= cv::tag::AccountFirst && tag <= cv::tag::AccountLast)
        return cv::accountCommandAllowed(tag, accountSelection());
    if (tag >= cv::tag::CategoryFirst && tag <= cv::tag::CategoryLast)
        return cv::categoryCommandAllowed(tag, actualSelection());
    return false;
}

void CV4WindowController::execGridCommand(int tag)
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
    case cv::tag::AddSecurity: addBrand(); break;
    case cv::tag::GroupAccounts: groupAccount(); break;
    case cv::tag::DeleteAccount: deleteAccount(); break;
    case cv::tag::NewCategory: newActual(); break;
    case cv::tag::NewCategoryFolder: newActualGroup(); break;
    case cv::tag::DeleteCategory: deleteActual(); break;
    case cv::tag::MergeCategory: mergeActual(); break;
    default: break;
    }
}

void CV4WindowController::expandMe(const CVUnitModelPtr &node)
{
    cv::ViewerPage *viewer = viewerPage();
    if (!node || !viewer || !m_document) return;
    const bool accounts = m_document->accountModel() &&
                          treeOf(node->root(), {{m_document->accountModel()->asset(), cv::TreeSelection::Asset},
                                                {m_document->accountModel()->debt(), cv::TreeSelection::Debt},
                                                {m_document->accountModel()->summary(), cv::TreeSelection::AccountSummary}}) !=
                              cv::TreeSelection::None;
    CV4AccountView *grid = accounts ? static_cast<CV4AccountView *>(viewer->accountView())
                                    : static_cast<CV4AccountView *>(viewer->actualView());
    cv::ViewerModel *model = grid->viewerModel();
    if (!model) return;
    for (CVUnitModel *up = node->parent(); up; up = up->parent()) {
        up->setCollapsed(false);
        grid->expand(model->indexOfNode(up));
    }
    const QModelIndex row = model->indexOfNode(node.get());
    if (!row.isValid()) return;
    grid->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollTo(row);
}

// ---------------------------------------------------------------- sheets

void CV4WindowController::openAccountSheet(AccountSheet sheet, const CVUnitModelPtr &node, SheetDone done)
{
    if (m_accountSheetOpener) {
        m_accountSheetOpener(*this, sheet, node, std::move(done));
        return;
    }
    auto plain = [done](int code, QObject *) { done({code, std::nullopt}); };
    switch (sheet) {
    case AccountSheet::Cash: CachePanelController::openCachePanel(m_document, node, this, plain); break;
    case AccountSheet::Bank: BankPanelController::openBankPanel(m_document, node, this, plain); break;
    case AccountSheet::CreditCard: CreditPanelController::openCreditPanel(m_document, node, this, plain); break;
    case AccountSheet::Loan:
        LoanPanelController::openLoanPanel(m_document, node, this, [done](int code, LoanPanelController *panel) {
            done({code, panel ? panel->loanData() : std::nullopt});
        });
        break;
    case AccountSheet::Summary: SummaryPanelController::openSummaryPanel(m_document, node, this, plain); break;
    }
}

CVUnitModelPtr CV4WindowController::addAccount(int tag)
{
    const std::optional<int> kind = accountKindForTag(tag);
    if (!kind || !m_document || !gridCommandAllowed(tag)) return nullptr;
    const CVUnitModelPtr node = newNode(*kind);
    QPointer<CV4WindowController> self(this);
    switch (tag) {
    case cv::tag::NewCash:
    case cv::tag::NewInvestment:
    case cv::tag::NewOtherAsset:
    case cv::tag::NewBank:
        openAccountSheet(tag == cv::tag::NewBank ? AccountSheet::Bank : AccountSheet::Cash, node,
                         [self, node](const SheetResult &r) {
                             if (self) self->cacheSheetDidEnd(r.code, node);
                         });
        return tag == cv::tag::NewBank ? node : nullptr;
    case cv::tag::NewLoan:
    case cv::tag::NewCreditCard:
    case cv::tag::NewOtherDebt:
        openAccountSheet(tag == cv::tag::NewLoan         ? AccountSheet::Loan
                         : tag == cv::tag::NewCreditCard ? AccountSheet::CreditCard
                                                         : AccountSheet::Cash,
                         node, [self, node](const SheetResult &r) {
                             if (self) self->debtSheetDidEnd(r, node);
                         });
        return node;
    default:
        openAccountSheet(AccountSheet::Summary, node, [self, node](const SheetResult &r) {
            if (self) self->summarySheetDidEnd(r.code, node);
        });
        return node;
    }
}

void CV4WindowController::editAccount(const CVUnitModelPtr &account)
{
    const CVUnitModelPtr node = account ? account : selectedAccountNode();
    if (!node || !m_document) return;
    QPointer<CV4WindowController> self(this);
    auto cash = [self, node](const SheetResult &r) {
        if (self) self->cacheSheetDidEnd(r.code, node);
    };
    auto debt = [self, node](const SheetResult &r) {
        if (self) self->debtSheetDidEnd(r, node);
    };
    switch (NodeKind(node->kind())) {
    case NodeKind::Cash:
    case NodeKind::Investment:
    case NodeKind::GeneralAsset:
    case NodeKind::GeneralDebt: openAccountSheet(AccountSheet::Cash, node, cash); break;
    case NodeKind::Bank: openAccountSheet(AccountSheet::Bank, node, cash); break;
    case NodeKind::CreditCard: openAccountSheet(AccountSheet::CreditCard, node, debt); break;
    case NodeKind::Loan: openAccountSheet(AccountSheet::Loan, node, debt); break;
    case NodeKind::AccountSummary:
        openAccountSheet(AccountSheet::Summary, node, [self, node](const SheetResult &r) {
            if (self) self->summarySheetDidEnd(r.code, node);
        });
        break;
    default: break;
    }
}

void CV4WindowController::editActualSummary(const CVUnitModelPtr &summary)
{
    if (!summary || summary->kind() != NodeKind::CategorySummary || !m_document) return;
    QPointer<CV4WindowController> self(this);
    openAccountSheet(AccountSheet::Summary, summary, [self, summary](const SheetResult &r) {
        if (self) self->summarySheetDidEnd(r.code, summary);
    });
}

CVUnitModelPtr CV4WindowController::cacheSheetDidEnd(int code, const CVUnitModelPtr &node)
{
    CVUnitModelPtr result;
    if (code > 0 && node && node->ident() > 0) {
        // A changed currency changes every balance that converts from it.
        m_document->updateAccount(node, code == 2);
        if (code != 2) result = node;
    } else if (code > 0 && node && m_document->accountModel()) {
        node->setIdent(m_document->accountModel()->uniqueId());
        if (node->kind() == NodeKind::Investment) {
            const CVUnitModelPtr cash = newNode(cv::raw(NodeKind::CashPart));
            cash->setIdent(0);
            cash->setName(QStringLiteral("SYS:Invest-Cache"));
            cash->setCurrency(node->currency());
            node->appendChild(cash);
        }
        m_document->addNode(node, m_document->accountModel()->asset());
        result = node;
    }
    accountSheetDidEnd(code, node);
    return result;
}

void CV4WindowController::debtSheetDidEnd(const SheetResult &result, const CVUnitModelPtr &node)
{
    if (result.code <= 0 || !node || !m_document || !m_document->accountModel()) return;
    const bool loan = node->kind() == NodeKind::Loan;
    {
        cv::EditScope edit(*m_document);
        const bool fresh = node->ident() <= 0;
        if (fresh) {
            node->setIdent(m_document->accountModel()->uniqueId());
            m_document->addNode(node, m_document->accountModel()->debt());
        }
        if (loan && result.loanData) m_document->putLoan(node, *result.loanData);
        if (loan || !fresh) m_document->updateAccount(node, true);
    }
    expandMe(node);
}

void CV4WindowController::summarySheetDidEnd(int code, const CVUnitModelPtr &node)
{
    if (code <= 0 || !node || !m_document || !m_document->accountModel() || !m_document->actualModel()) return;
    const bool categories = node->kind() == NodeKind::CategorySummary;
    const bool fresh = node->ident() < 1;
    if (fresh) {
        node->setIdent(categories ? m_document->actualModel()->uniqueId() : m_document->accountModel()->uniqueId());
        m_document->addNode(node, categories ? m_document->actualModel()->summary() : m_document->accountModel()->summary());
    }
    if (categories) {
        m_document->commitActualModel();
        actualSheetDidEnd(code);
    } else {
        accountSheetDidEnd(code, node);
    }
    if (fresh) expandMe(node);
}

void CV4WindowController::accountSheetDidEnd(int code, const CVUnitModelPtr &node)
{
    if (code < 1 || !m_document) return;
    m_document->commitAccountModel();
    if (node && node->parent()) expandMe(node);
}

void CV4WindowController::actualSheetDidEnd(int)
{
    // The commit announced the tree; the pages read what it names.
}

// ---------------------------------------------------------------- accounts

CVUnitModelPtr CV4WindowController::selectedInvestAccount() const
{
    const CVUnitModelPtr node = selectedAccountNode();
    for (CVUnitModel *n = node.get(); n && n->parent(); n = n->parent()) {
        if (n->kind() == NodeKind::Investment) return n->shared_from_this();
    }
    return nullptr;
}

void CV4WindowController::openBrandSheet(std::function<void(const CV4BrandPtr &)> done)
{
    if (m_brandSheetOpener) {
        m_brandSheetOpener(*this, std::move(done));
        return;
    }
    showBrandWindow();
    if (cv::BrandWindow *window = brandWindow()) window->brandNewWithHandler(std::move(done));
}

void CV4WindowController::addBrand()
{
    if (!m_document || !gridCommandAllowed(cv::tag::AddSecurity)) return;
    const CVUnitModelPtr account = selectedInvestAccount();
    QPointer<CV4WindowController> self(this);
    openBrandSheet([self, account](const CV4BrandPtr &brand) {
        if (self) self->addBrandSheetDidEnd(brand, account);
    });
}

void CV4WindowController::addBrandSheetDidEnd(const CV4BrandPtr &brand, const CVUnitModelPtr &account)
{
    if (!brand || !account || !account->parent() || !m_document) return;
    // The security was asked for this account: its holding goes there.
    if (m_document->addBrandNodeIfNeeded(account, brand->ident())) m_document->commitAccountModel();
    expandMe(account);
}

cv::ChooserItem CV4WindowController::addInvestAccountCommand(cv::CommandUnitModel &command)
{
    beginCommand(std::static_pointer_cast<cv::CommandUnitModel>(command.weak_from_this().lock()));
    const CVUnitModelPtr node = newNode(cv::raw(NodeKind::Investment));
    QPointer<CV4WindowController> self(this);
    openAccountSheet(AccountSheet::Cash, node, [self, node](const SheetResult &r) {
        if (!self) return;
        self->endCommandWithItem(self->cacheSheetDidEnd(r.code, node));
    });
    return {};
}

void CV4WindowController::beginCommand(std::shared_ptr<cv::CommandUnitModel> command)
{
    m_performingCommand = std::move(command);
}

void CV4WindowController::endCommandWithItem(const CVUnitModelPtr &node)
{
    const std::shared_ptr<cv::CommandUnitModel> command = std::move(m_performingCommand);
    m_performingCommand.reset();
    if (command) command->returnItem(node ? cv::ChooserItem::fromNode(node) : cv::ChooserItem());
}

void CV4WindowController::deleteAccount()
{
    const CVUnitModelPtr node = selectedAccountNode();
    if (!node || !m_document || !gridCommandAllowed(cv::tag::DeleteAccount) || !node->parent()) return;
    const CVUnitModelPtr parent = node->parent()->shared_from_this();
    if (node->kind() == NodeKind::Holding) {
        const auto unit = std::dynamic_pointer_cast<CV4InvestUnit>(node->extra());
        if (const CV4BrandPtr brand = unit ? m_document->findBrand(unit->brand()) : nullptr)
            maybeDeleteBrand(brand, parent);
        return;
    }
    if (m_document->hasCache(node) &&
        !CV4Alert::confirm(cv::localizedString("Confirm Delete"),
                           cv::formatString(cv::localizedString("Account %@ has Data"), {m_document->displayName(*node)}),
                           cv::localizedString("Delete")))
        return;
    m_document->deleteNode(node);
}

void CV4WindowController::groupAccount()
{
    const CVUnitModelPtr node = selectedAccountNode();
    if (!node || !m_document || !gridCommandAllowed(cv::tag::GroupAccounts)) return;
    // Never inside an account or a holding: the nearest folder or root.
    const CVUnitModelPtr place = nearestFolder(node.get(), cv::raw(NodeKind::CashPart));
    if (!place) return;
    const std::optional<QString> name = CV4Alert::inputName(cv::localizedString("New Account Group"), cv::localizedString("Account Group Title"));
    const QString trimmed = name ? name->trimmed() : QString();
    if (trimmed.isEmpty()) return;
    const CVUnitModelPtr folder = newNode(cv::raw(NodeKind::Group));
    folder->setName(trimmed);
    folder->setIdent(m_document->accountModel()->uniqueId());
    for (CVUnitModel *up = place.get(); up; up = up->parent()) up->setCollapsed(false);
    m_document->addNode(folder, place);
    expandMe(folder);
}

// ---------------------------------------------------------------- categories

void CV4WindowController::newActual()
{
    const CVUnitModelPtr node = selectedActualNode();
    if (!node || !m_document || !gridCommandAllowed(cv::tag::NewCategory)) return;
    if (actualSelection().tree != cv::TreeSelection::CategorySummary) {
        const std::optional<QString> name = CV4Alert::inputName(cv::localizedString("New Actual Item"), cv::localizedString("Actual Item Title"));
        if (name) addActualItem(cv::raw(NodeKind::Category), *name);
        return;
    }
    const CVUnitModelPtr summary = newNode(cv::raw(NodeKind::CategorySummary));
    QPointer<CV4WindowController> self(this);
    openAccountSheet(AccountSheet::Summary, summary, [self, summary](const SheetResult &r) {
        if (self) self->summarySheetDidEnd(r.code, summary);
    });
}

void CV4WindowController::newActualGroup()
{
    if (!selectedActualNode() || !m_document || !gridCommandAllowed(cv::tag::NewCategoryFolder)) return;
    const std::optional<QString> name = CV4Alert::inputName(cv::localizedString("New Actual Group"), cv::localizedString("Actual Group Title"));
    if (name) addActualItem(cv::raw(NodeKind::Group), *name);
}

CVUnitModelPtr CV4WindowController::addActualItem(int kind, const QString &name)
{
    const CVUnitModelPtr node = selectedActualNode();
    const QString trimmed = name.trimmed();
    if (!node || !m_document || !m_document->actualModel() || trimmed.isEmpty()) return nullptr;
    const CVUnitModelPtr place = nearestFolder(node.get(), cv::raw(NodeKind::CashPart));
    // Categories and folders live in the income and expense trees only.
    if (!place || !m_document->actualModel()->isIncomeOrExpense(place.get())) return nullptr;
    const CVUnitModelPtr item = newNode(kind);
    item->setName(trimmed);
    item->setIdent(m_document->actualModel()->uniqueId());
    for (CVUnitModel *up = place.get(); up; up = up->parent()) up->setCollapsed(false);
    m_document->addNode(item, place);
    expandMe(item);
    return item;
}

void CV4WindowController::deleteActual()
{
    const CVUnitModelPtr node = selectedActualNode();
    if (!node || !m_document || !gridCommandAllowed(cv::tag::DeleteCategory) || !node->parent()) return;
    if (node->kind() != NodeKind::Group && m_document->hasCache(node) &&
        !CV4Alert::confirm(cv::localizedString("Confirm Delete"),
                           cv::formatString(cv::localizedString("Actual %@ has Data"), {m_document->displayName(*node)}),
                           cv::localizedString("Delete")))
        return;
    m_document->deleteNode(node);
}

void CV4WindowController::mergeActual()
{
    const CVUnitModelPtr node = selectedActualNode();
    if (!node || !m_document || !gridCommandAllowed(cv::tag::MergeCategory)) return;
    if (node->kind() != NodeKind::Category) return;
    const int target = m_mergeChooser ? m_mergeChooser(*this, node)
                                      : MergeActualPanelController::runMergePanel(m_document, node->ident(), this);
    if (target < 1 || target == node->ident()) return;
    // The entries go to a category of the same side only.
    const bool expense = node->hasAncestor(m_document->actualModel()->expense().get());
    const CVUnitModelPtr receiver = expense ? m_document->findExpense(target) : m_document->findIncome(target);
    if (!receiver || receiver->kind() != NodeKind::Category) return;
    m_document->moveItem(node, target);
}

// ---------------------------------------------------------------- the new item wizard

void CV4WindowController::wizardAction(int menuId)
{
    if (!m_document) return;
    const int code = m_wizardRunner ? m_wizardRunner(m_document, menuId, this)
                                    : WizardDialogController::runWizard(m_document, menuId, this);
    if (code == 0) return;
    if (code == cv::tag::NewSecurity) {
        // A security alone: no holding anywhere.
        openBrandSheet([](const CV4BrandPtr &) {});
        return;
    }
    if (selectedTabIdentifier() != QLatin1String("TB01")) selectTabWithIdentifier(QStringLiteral("TB01"));
    if (!viewerPage()) return;
    if ((code >= cv::tag::NewCash && code <= cv::tag::NewOtherAsset) ||
        (code >= cv::tag::NewLoan && code <= cv::tag::NewOtherDebt)) {
        const CV4AccountModelPtr &accounts = m_document->accountModel();
        if (!accounts) return;
        expandMe(code <= cv::tag::NewOtherAsset ? accounts->asset() : accounts->debt());
        addAccount(code);
    } else if (code == cv::tag::NewCategory) {
        const CV4ActualModelPtr &categories = m_document->actualModel();
        if (!categories) return;
        expandMe(menuId == cv::tag::WizardIncome ? categories->income() : categories->expense());
        newActual();
    } else if (code == cv::tag::AddSecurity) {
        CVUnitModelPtr account = selectedInvestAccount();
        if (!account) account = m_document->findAccountOfKind(cv::raw(NodeKind::Investment));
        if (!account) return;
        expandMe(account);
        addBrand();
    }
}
