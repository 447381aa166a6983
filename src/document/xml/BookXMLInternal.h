#pragma once
// The whole-document XML form, split by concern. Files:
//   Book_XMLWriter.cpp  the line-oriented writer (exportTo, Book::export_)
//   Book_XMLReader.cpp  the streaming reader, with its placement table
//                              (importFrom, Book::import)
//   XMLEntryLines.cpp          the entries in the writer's own lines, read apart
//                              from the general reader
//   XMLNames.cpp               the element and attribute names the reader takes
//   Book_XMLForms.cpp   number and text forms shared by both (decimal, count,
//                              escaped, leadingNumber, parseDecimal)
// Shared state: none beyond the names below; the writer and the reader each
// keep their own, and every number goes through the forms.

#include "document/xml/BookXML.h"
#include "model/DomainEnums.h"

#include <QDate>

namespace cv::xml::names {

inline constexpr char TAG_TOPLEVEL[] = "cvxf";
inline constexpr char TAG_GROUPING_LIST[] = "group_list";
inline constexpr char TAG_GROUPING[] = "group";
inline constexpr char TAG_CURRENCY_LIST[] = "currency_list";
inline constexpr char TAG_CURRENCY[] = "currency";
inline constexpr char TAG_SECURITY_LIST[] = "brand_list";
inline constexpr char TAG_SECURITY[] = "brand";
inline constexpr char TAG_PRICETIME[] = "price";
inline constexpr char TAG_ASSET[] = "asset";
inline constexpr char TAG_DEBT[] = "debt";
inline constexpr char TAG_ACCOUNT_SUMMARY[] = "account_sum";
inline constexpr char TAG_TRANSFER[] = "transfer";
inline constexpr char TAG_INCOME[] = "income";
inline constexpr char TAG_EXPENSE[] = "expense";
inline constexpr char TAG_CATEGORY_SUMMARY[] = "actual_sum";
inline constexpr char TAG_TITLE[] = "title";
inline constexpr char TAG_NOTE[] = "note";
inline constexpr char TAG_BUDGET[] = "budget";
inline constexpr char TAG_ENTRY[] = "actual";
inline constexpr char TAG_TRADE[] = "trade";
inline constexpr char TAG_REPAYMENT[] = "repayment";
inline constexpr char TAG_REFERENCE[] = "reference";

struct NodeTag {
    NodeKind kind;
    const char *tag;
};
// clang-format off
inline constexpr NodeTag kNodeTags[] = {
    {NodeKind::SystemItem, "node_system"}, {NodeKind::Holding, "node_brand"}, {NodeKind::Group, "node_group"},       {NodeKind::Category, "node_actual"},
    {NodeKind::Cash, "node_cache"},        {NodeKind::Bank, "node_bank"},     {NodeKind::Investment, "node_invest"}, {NodeKind::GeneralAsset, "node_asset"},
    {NodeKind::CreditCard, "node_credit"}, {NodeKind::Loan, "node_loan"},     {NodeKind::GeneralDebt, "node_debt"},  {NodeKind::AccountSummary, "node_account_sum"},
    {NodeKind::CategorySummary, "node_actual_sum"},
};
// clang-format on

inline constexpr char ATTR_ID[] = "id";
inline constexpr char ATTR_CURRENCY[] = "currency";
inline constexpr char ATTR_DATE[] = "date";
inline constexpr char ATTR_VALUE[] = "value";
inline constexpr char ATTR_KIND[] = "kind";
inline constexpr char ATTR_SECURITY[] = "brand";
inline constexpr char ATTR_ACCOUNT[] = "account";
inline constexpr char ATTR_CATEGORY[] = "category";
inline constexpr char ATTR_TRANSFER[] = "transfer";
inline constexpr char ATTR_GROUPING[] = "group";
inline constexpr char ATTR_CONVERTED[] = "converted";
inline constexpr char ATTR_COUNT[] = "count";
inline constexpr char ATTR_PRICE[] = "price";
inline constexpr char ATTR_COST[] = "cost";
inline constexpr char ATTR_FRACTION[] = "fraction";
inline constexpr char ATTR_ABBR[] = "abbr";
inline constexpr char ATTR_PREFIX[] = "prefix";
inline constexpr char ATTR_RATE[] = "rate";
inline constexpr char ATTR_MARKET[] = "market";
inline constexpr char ATTR_CODE[] = "code";
inline constexpr char ATTR_RISK[] = "risk";
inline constexpr char ATTR_COMPANY[] = "company";
inline constexpr char ATTR_BRANCH[] = "branch";
inline constexpr char ATTR_TEL[] = "tel";
inline constexpr char ATTR_LIMIT[] = "limit";
inline constexpr char ATTR_CUTOFF[] = "cutoff";
inline constexpr char ATTR_DUE[] = "due";
inline constexpr char ATTR_BONUS_MONTH[] = "bonus_month";
inline constexpr char ATTR_BONUS_VALUE[] = "bonus_value";
inline constexpr char ATTR_POSTPAID[] = "postpaid";
inline constexpr char ATTR_NEXTMONTH[] = "next_month";
inline constexpr char ATTR_NEXTDAY[] = "next_day";
inline constexpr char ATTR_HOLIDAY[] = "holiday";
inline constexpr char ATTR_REFID[] = "refid";
inline constexpr char ATTR_INTEREST[] = "interest";
inline constexpr char ATTR_PRINCIPAL[] = "principal";
inline constexpr char ATTR_VIEWSUMMARY[] = "summary";
inline constexpr char ATTR_TEMPLATE[] = "template";

inline const char *nodeTag(NodeKind kind)
{
    for (const auto &t : kNodeTags)
        if (t.kind == kind) return t.tag;
    return nullptr;
}

} // namespace cv::xml::names
