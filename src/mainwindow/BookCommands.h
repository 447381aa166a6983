#pragma once
// The account and category commands of a document window: new accounts by
// tag, editing, grouping and deleting accounts, a new security's holding,
// new categories, folders and summaries, deleting and merging categories,
// their menu rules and the ends of the sheets they open. Owned by the
// window's private part; the window forwards the menu's commands to it and lends it its grids,
// its sheets' parent and the securities window.

#include "controls/ChooserItem.h"
#include "mainwindow/BookWindow.h"

namespace cv {

class BookCommands {
public:
    using AccountSheet = BookWindow::AccountSheet;
    using SheetResult = BookWindow::SheetResult;
    using SheetDone = BookWindow::SheetDone;

    explicit BookCommands(BookWindow &window) : m_window(window) {}
    BookCommands(const BookCommands &) = delete;
    BookCommands &operator=(const BookCommands &) = delete;

    void setAccountSheetOpener(BookWindow::AccountSheetOpener opener) { m_accountSheetOpener = std::move(opener); }
    void setSecuritySheetOpener(BookWindow::SecuritySheetOpener opener) { m_securitySheetOpener = std::move(opener); }
    void setMergeChooser(BookWindow::MergeChooser chooser) { m_mergeChooser = std::move(chooser); }

    TreeSelection accountSelection() const;
    TreeSelection categorySelection() const;
    bool commandAllowed(int tag) const;
    void exec(int tag);

    // A new node of the tag's kind and its sheet; the node for the tags
    // whose end handlers hand it on (bank, debts, summary).
    NodePtr addAccount(int tag);
    void editAccount(const NodePtr &account);
    void editCategorySummary(const NodePtr &summary);
    void deleteAccount();
    void groupAccount();
    // A new security whose holding goes into the selected investment account.
    void addSecurity();
    // The chooser row "new investment account": the new account goes back
    // to the chooser when the sheet ends; none now.
    ChooserItem addInvestAccountCommand(CommandRow &command);
    void newCategory();
    void newCategoryFolder();
    void deleteCategory();
    void mergeCategory();
    // A text statement into the selected cash, bank or other asset account.
    void importIntoAccount();

    void openSecuritySheet(std::function<void(const SecurityPtr &)> done);
    // The investment account the selection stands for; none without one.
    NodePtr selectedInvestAccount() const;

private:
    // A new node of the kind in the selected node's nearest folder or root;
    // the node, none when it could not go there.
    NodePtr addCategoryItem(cv::NodeKind kind, const QString &name);
    // Ends of the sheets: a code above 0 stores the node (a new one gets its
    // ident and its place) in one edit, 0 lets a new node go.
    NodePtr cashSheetDidEnd(int code, const NodePtr &node);
    void debtSheetDidEnd(const SheetResult &result, const NodePtr &node);
    void summarySheetDidEnd(int code, const NodePtr &node);
    // A new security asked for an investment account: its holding goes there.
    void addSecuritySheetDidEnd(const SecurityPtr &security, const NodePtr &account);

    Book *document() const { return m_window.document(); }
    // The ident a new account (or category) takes; none, said to the user,
    // when the book's idents have run out.
    std::optional<int> newIdent(bool category) const;
    void openAccountSheet(AccountSheet sheet, const NodePtr &node, SheetDone done);
    void beginCommand(std::shared_ptr<CommandRow> command);
    void endCommandWithItem(const NodePtr &node);

    BookWindow &m_window;
    BookWindow::AccountSheetOpener m_accountSheetOpener;   // none: the program's sheets
    BookWindow::SecuritySheetOpener m_securitySheetOpener; // none: the securities window's sheet
    BookWindow::MergeChooser m_mergeChooser;               // none: MergeCategoryDialog
    std::shared_ptr<CommandRow> m_performingCommand;       // the chooser row waiting for a new account
    // A sheet's end that comes after the window began to go does nothing.
    std::shared_ptr<char> m_life = std::make_shared<char>();
};

} // namespace cv
