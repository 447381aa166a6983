#include "mainwindow/MenuRules.h"

#include "controls/Tags.h"
#include "model/DomainEnums.h"

namespace cv {

bool accountCommandAllowed(int tag, const TreeSelection &s)
{
    using T = TreeSelection;
    const NodeKind kind = s.kind;
    switch (tag) {
    case tag::NewAssetMenu:
    case tag::NewCash:
    case tag::NewBank:
    case tag::NewInvestment:
    case tag::NewOtherAsset: return !s.selected || s.tree == T::Asset;
    case tag::NewDebtMenu:
    case tag::NewLoan:
    case tag::NewCreditCard:
    case tag::NewOtherDebt: return !s.selected || s.tree == T::Debt;
    case tag::NewAccountSummary: return !s.selected || s.tree == T::AccountSummary;
    case tag::AddSecurity:
        return s.selected && (kind == NodeKind::Investment || kind == NodeKind::Holding || kind == NodeKind::CashPart);
    case tag::GroupAccounts:
        return s.selected && s.tree != T::AccountSummary &&
               (s.parentKind < 0 || s.parentKind == NodeKind::Group || s.parentKind == NodeKind::SectionRoot);
    case tag::DeleteAccount:
        return s.selected && (kind == NodeKind::Holding || (kind > NodeKind::Holding && s.ident > kLastSystemIdent));
    case tag::AccountImport:
        return s.selected && (kind == NodeKind::Cash || kind == NodeKind::Bank || kind == NodeKind::GeneralAsset);
    default: return false;
    }
}

bool categoryCommandAllowed(int tag, const TreeSelection &s)
{
    using T = TreeSelection;
    const bool editable = s.selected && s.tree != T::Transfer;
    switch (tag) {
    case tag::NewCategory: return editable;
    case tag::DeleteCategory:
    case tag::MergeCategory:
        return editable && s.kind >= NodeKind::CashPart && s.ident > kLastSystemIdent && !s.hasChildren;
    case tag::NewCategoryFolder: return editable && s.tree != T::CategorySummary;
    case tag::CategoryImportOFX:
    case tag::CategoryImportText:
    case tag::CategoryImportMobile: return true;
    default: return false;
    }
}

bool isAlwaysEnabledTag(int tag)
{
    return tag == tag::About || tag == tag::Preferences || tag == tag::Help || tag == tag::NewFromTemplate ||
           tag == tag::Scratch;
}

MenuItemState menuItemState(int tag, const MenuContext &c)
{
    const bool window = c.hasWindow;
    const bool usable = window && c.hasDocument;
    const bool quiet = usable && !c.modalRunning && !c.sheetShown;
    const bool mainTab = usable && c.tabIdentifier == QLatin1String("TB01");

    if (isAlwaysEnabledTag(tag)) return {true, false};
    switch (tag) {
    case tag::GroupPanel:
    case tag::ImportText:
    case tag::ImportMobile:
    case tag::ImportOFX:
    case tag::Password:
    case tag::SettingsPanel:
    case tag::Recalculate:
    case tag::CompactDB: return {quiet, false};
    case tag::ReportPanel:
    case tag::ChartPanel:
    case tag::FinancialOverview: return {usable, false};
    case tag::Calculator: return {window, c.calculatorVisible};
    case tag::Calendar: return {window && c.tabIndex == 0, c.calendarVisible};
    case tag::ViewViewer: return {usable, c.tabIdentifier == QLatin1String("TB01")};
    case tag::ViewSearch: return {usable, c.tabIdentifier == QLatin1String("TB02")};
    case tag::ViewBudget: return {usable, c.tabIdentifier == QLatin1String("TB03")};
    case tag::ViewCurrency: return {usable, c.tabIdentifier == QLatin1String("TB05")};
    case tag::ViewInvestment: return {usable, c.tabIdentifier == QLatin1String("TB06")};
    case tag::ViewSecurities: return {usable, false};
    case tag::DisplayDefaultCurrency: return {mainTab, c.transDefaultCurrency != 0};
    case tag::DisplayStockPrice: return {mainTab, c.displayStockPrice};
    case tag::FontSizeMenu: return {mainTab, false};
    case tag::FontLarger: return {mainTab && c.viewerFontSize < 5, false};
    case tag::FontSmaller: return {mainTab && c.viewerFontSize > 1, false};
    default: break;
    }
    if (tag >= tag::WizardFirst && tag <= tag::WizardLast) return {quiet && mainTab, false};
    // The grids' commands act on the viewer's selection.
    if (tag::AccountMenu.contains(tag)) return {quiet && mainTab && accountCommandAllowed(tag, c.account), false};
    if (tag::CategoryMenu.contains(tag)) return {quiet && mainTab && categoryCommandAllowed(tag, c.category), false};
    return {true, false};
}

} // namespace cv
