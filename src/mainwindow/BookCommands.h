#pragma once
// The account and category commands of a document window: new accounts by
// tag, editing, grouping and deleting accounts, a new security's holding,
// new categories, folders and summaries, deleting and merging categories,
// their menu rules and the ends of the sheets they open. Owned by the
// window's private part; the window forwards the menu's commands to it and lends it its grids,
// its sheets' parent and the securities window.

#include "controls/ChooserItem.h"
#include "mainwindow/CV4WindowController.h"

namespace cv {

class BookCommands {
public:
    using AccountSheet = CV4WindowController::AccountSheet;
    using SheetResult = CV4WindowController::SheetResult;
    using SheetDone = CV4WindowController::SheetDone;

    explicit BookCommands(CV4WindowController &window) : m_window(window) {}
    BookCommands(const BookCommands &) = delete;
    BookCommands &operator=(const BookCommands &) = delete;

    void setAccountSheetOpener(CV4WindowController::AccountSheetOpener opener) { m_accountSheetOpener = std::move(opener); }
    void setBrandSheetOpener(CV4WindowController::BrandSheetOpener opener) { m_brandSheetOpener = std::move(opener); }
    void setMergeChooser(CV4WindowController::MergeChooser chooser) { m_mergeChooser = std::move(chooser); }

    TreeSelection accountSelection() const;
    TreeSelection actualSelection() const;
    bool commandAllowed(int tag) const;
    void exec(int tag);

    // A new node of the tag's kind and its sheet; the node for the tags
    // whose end handlers hand it on (bank, debts, summary).
    CVUnitModelPtr addAccount(int tag);
    void editAccount(const CVUnitModelPtr &account);
    void editActualSummary(const CVUnitModelPtr &summary);
    void deleteAccount();
    void groupAccount();
    // A new security whose holding goes into the selected investment account.
    void addBrand();
    // The chooser row "new investment account": the new account goes back
    // to the chooser when the sheet ends; none now.
    ChooserItem addInvestAccountCommand(CommandUnitModel &command);
    void newActual();
    void newActualGroup();
    void deleteActual();
    void mergeActual();
    // A text statement into the selected cash, bank or other asset account.
    void importIntoAccount();

    void openBrandSheet(std::function<void(const CV4BrandPtr &)> done);
    // The investment account the selection stands for; none without one.
    CVUnitModelPtr selectedInvestAccount() const;

private:
    // A new node of the kind in the selected node's nearest folder or root;
    // the node, none when it could not go there.
    CVUnitModelPtr addActualItem(cv::NodeKind kind, const QString &name);
    // Ends of the sheets: a code above 0 stores the node (a new one gets its
    // ident and its place), 0 lets a new node go.
    CVUnitModelPtr cacheSheetDidEnd(int code, const CVUnitModelPtr &node);
    void debtSheetDidEnd(const SheetResult &result, const CVUnitModelPtr &node);
    void summarySheetDidEnd(int code, const CVUnitModelPtr &node);
    // A new security asked for an investment account: its holding goes there.
    void addBrandSheetDidEnd(const CV4BrandPtr &brand, const CVUnitModelPtr &account);
    void accountSheetDidEnd(int code, const CVUnitModelPtr &node);

    CV4Document *document() const { return m_window.document(); }
    void openAccountSheet(AccountSheet sheet, const CVUnitModelPtr &node, SheetDone done);
    void beginCommand(std::shared_ptr<CommandUnitModel> command);
    void endCommandWithItem(const CVUnitModelPtr &node);

    CV4WindowController &m_window;
    CV4WindowController::AccountSheetOpener m_accountSheetOpener; // none: the program's sheets
    CV4WindowController::BrandSheetOpener m_brandSheetOpener;     // none: the securities window's sheet
    CV4WindowController::MergeChooser m_mergeChooser;             // none: MergeActualPanelController
    std::shared_ptr<CommandUnitModel> m_performingCommand;        // the chooser row waiting for a new account
    // A sheet's end that comes after the window began to go does nothing.
    std::shared_ptr<char> m_life = std::make_shared<char>();
};

} // namespace cv
