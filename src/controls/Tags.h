#pragma once
// Menu item tags, one scheme for the window's commands and every panel's and
// sheet's context menu, so that no number means two commands: a hosted panel
// is asked about the window's tags and must not mistake one for its own.
// The window's numbers are fixed: window parts of later versions and the
// enabling rules speak of items by them. Context-menu tags are never stored.

namespace cv::tag {

struct Range {
    int first;
    int last;
    constexpr bool contains(int tag) const { return tag >= first && tag <= last; }
};

// ---- the window's commands

inline constexpr Range ApplicationMenu{24000, 25399};

inline constexpr int About = 24000;
inline constexpr int DeleteRow = 24102; // temporary page only
inline constexpr int Preferences = 25000;
inline constexpr int Help = 25001;
inline constexpr int GroupPanel = 25008;
inline constexpr int NewFromTemplate = 25009; // the start-up panel, not at start-up
inline constexpr int Scratch = 25010;
inline constexpr int ImportMobile = 25011;
inline constexpr int ImportText = 25012;
inline constexpr int ImportOFX = 25013;
inline constexpr int ViewViewer = 25020;
inline constexpr int ViewSearch = 25021;
inline constexpr int ViewBudget = 25022;
inline constexpr int ViewSecurities = 25023;
inline constexpr int ViewCurrency = 25024;
inline constexpr int ViewInvestment = 25025;
inline constexpr int DisplayDefaultCurrency = 25026;
inline constexpr int DisplayStockPrice = 25027;
inline constexpr int FontLarger = 25028;
inline constexpr int FontSmaller = 25029;
inline constexpr int FontSizeMenu = 25030;
inline constexpr int Calculator = 25100;
inline constexpr int Calendar = 25101;
inline constexpr int Password = 25200;
inline constexpr int ReportPanel = 25201;
inline constexpr int ChartPanel = 25202;
inline constexpr int FinancialOverview = 25203;
inline constexpr int SettingsPanel = 25204;
inline constexpr int Recalculate = 25210;
inline constexpr int CompactDB = 25211;
inline constexpr int WizardFirst = 25300; // 25300..25399: the new item wizard
inline constexpr int WizardLast = 25399;
inline constexpr int WizardAccounts = 25301;
inline constexpr int WizardIncome = 25310;
inline constexpr int WizardExpense = 25311;
inline constexpr int WizardSecurities = 25320;

// The account grid's commands (29000..29208).
inline constexpr int AccountFirst = 29000;
inline constexpr int NewAssetMenu = 29000; // the submenu
inline constexpr int NewCash = 29001;
inline constexpr int NewBank = 29002;
inline constexpr int NewInvestment = 29003;
inline constexpr int NewOtherAsset = 29004;
inline constexpr int NewDebtMenu = 29100; // the submenu
inline constexpr int NewLoan = 29101;
inline constexpr int NewCreditCard = 29102;
inline constexpr int NewOtherDebt = 29103;
inline constexpr int AddSecurity = 29204; // a holding of a new security in the investment account
inline constexpr int NewAccountSummary = 29205;
inline constexpr int GroupAccounts = 29206;
inline constexpr int DeleteAccount = 29207;
inline constexpr int AccountImport = 29208; // a statement into the account; comes with the imports
inline constexpr int AccountLast = 29208;
inline constexpr Range AccountMenu{AccountFirst, AccountLast};

// The category grid's commands (30011..30017).
inline constexpr int CategoryFirst = 30011;
inline constexpr int NewCategoryFolder = 30011;
inline constexpr int NewCategory = 30012;
inline constexpr int DeleteCategory = 30013;
inline constexpr int MergeCategory = 30014;
inline constexpr int CategoryImportOFX = 30015;
inline constexpr int CategoryImportMobile = 30016;
inline constexpr int CategoryImportText = 30017;
inline constexpr int CategoryLast = 30017;
inline constexpr Range CategoryMenu{CategoryFirst, CategoryLast};

// The securities window (SecuritiesWindow); its first item is also the wizard's new security.
inline constexpr Range SecuritiesMenu{30021, 30025};
inline constexpr int NewSecurity = SecuritiesMenu.first;
// The currency page (30033 and 30034 have no command).
inline constexpr Range CurrencyMenu{30031, 30036};
// The search page (30043 to 30045 have no command).
inline constexpr Range SearchMenu{30041, 30047};

// ---- context menus of panels and sheets: the last two digits are the item's
// number in its menu.

// The entry panels (account book, income and expense, transfer).
inline constexpr Range EntryPanelMenu{31101, 31106};
inline constexpr int RepeatedEntry = 31106; // also the window's toolbar item while the panel shows
inline constexpr Range TradePanelMenu{31201, 31206};
inline constexpr Range LoanSheetMenu{31301, 31305};
inline constexpr Range OFXImportMenu{31401, 31411};
inline constexpr Range TextImportMenu{31501, 31504};
inline constexpr Range CSVImportMenu{31600, 31601};
inline constexpr Range MobileImportMenu{31701, 31705};

// clang-format off
inline constexpr Range kAllRanges[] = {ApplicationMenu, AccountMenu,   CategoryMenu,   SecuritiesMenu,
                                       CurrencyMenu,    SearchMenu,    EntryPanelMenu, TradePanelMenu,
                                       LoanSheetMenu,   OFXImportMenu, TextImportMenu, CSVImportMenu,
                                       MobileImportMenu};
// clang-format on

constexpr bool rangesApart()
{
    for (const Range &a : kAllRanges) {
        if (a.first > a.last) return false;
        for (const Range &b : kAllRanges) {
            if (&a != &b && a.first <= b.last && b.first <= a.last) return false;
        }
    }
    return true;
}
static_assert(rangesApart(), "a tag number would mean two commands");
static_assert(ApplicationMenu.contains(WizardLast) && EntryPanelMenu.contains(RepeatedEntry));

} // namespace cv::tag
