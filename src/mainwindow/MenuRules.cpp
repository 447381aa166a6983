#include "mainwindow/MenuRules.h"

#include "mainwindow/MenuTags.h"

namespace cv {

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
    case tag::ImportOFX:
    case tag::Password:
    case tag::SettingsPanel:
    case tag::Recalculate:
    case tag::CompactDB:
        return {quiet, false};
    case tag::ReportPanel:
    case tag::ChartPanel:
    case tag::InfoPanel:
        return {usable, false};
    case tag::Calculator:
        return {window, c.calculatorVisible};
    case tag::Calendar:
        return {window && c.tabIndex == 0, c.calendarVisible};
    case tag::ViewViewer:
        return {usable, c.tabIdentifier == QLatin1String("TB01")};
    case tag::ViewSearch:
        return {usable, c.tabIdentifier == QLatin1String("TB02")};
    case tag::ViewBudget:
        return {usable, c.tabIdentifier == QLatin1String("TB03")};
    case tag::ViewCurrency:
        return {usable, c.tabIdentifier == QLatin1String("TB05")};
    case tag::ViewInvestment:
        return {usable, c.tabIdentifier == QLatin1String("TB06")};
    case tag::ViewSecurities:
        return {usable, false};
    case tag::DisplayDefaultCurrency:
        return {mainTab, c.transDefaultCurrency != 0};
    case tag::DisplayStockPrice:
        return {mainTab, c.displayStockPrice};
    case tag::FontSizeMenu:
        return {mainTab, false};
    case tag::FontLarger:
        return {mainTab && c.viewerFontSize < 5, false};
    case tag::FontSmaller:
        return {mainTab && c.viewerFontSize > 1, false};
    default:
        break;
    }
    if (tag >= tag::WizardFirst && tag <= tag::WizardLast) return {quiet && mainTab, false};
    return {true, false};
}

} // namespace cv
