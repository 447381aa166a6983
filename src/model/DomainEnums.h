#pragma once
// Every domain kind of the book in one place. The numbers are stored in
// documents, archives and the XML form: never change one. Nodes, entries,
// trades, securities and loan schedule rows answer these enums; the readers
// and writers convert at the stored int (cv::raw one way, the enum's
// constructor the other), and a number no enumerator names is kept as it came.
// scripts/check-node-kinds.sh keeps bare node, entry and trade kind numbers
// out of the code; the compiler does it for the others.

#include <QString>

namespace cv {

// The kind of a tree node (`Node::kind`).
enum class NodeKind : int {
    SummaryRoot = 0,      // root of the summaries tree; also a command row
    SectionRoot = 1,      // root of an account or category section
    Report = 2,           // report row (named like a group folder)
    CashPart = 3,         // cash of an investment account, its first child
    SystemItem = 5,       // system category: transfer items 10-13, "SYS:" income and expense items
    Holding = 6,          // one security held in an investment account
    Group = 20,           // folder of accounts or categories
    Category = 21,        // income or expense category
    Cash = 30,            // cash at hand
    Bank = 31,            // bank account
    Investment = 32,      // investment account: cash part plus holdings
    GeneralAsset = 33,    // any other asset
    CreditCard = 40,      // credit card
    Loan = 41,            // loan with a payment schedule
    GeneralDebt = 42,     // any other debt
    AccountSummary = 50,  // sum of accounts (plus list minus minus list)
    CategorySummary = 51, // sum of categories (income list minus expense list)
};

constexpr int raw(NodeKind kind)
{
    return int(kind);
}
// A stored number against a kind (tables, archives under test).
constexpr bool operator==(int stored, NodeKind kind)
{
    return stored == int(kind);
}

// Nodes up to this ident are the program's own (roots, the wallet, the
// system categories): never deleted, merged or moved as categories.
inline constexpr int kLastSystemIdent = 99;

// Asset accounts: cash, bank, investment, general asset.
constexpr bool isAssetAccountKind(NodeKind kind)
{
    return kind >= NodeKind::Cash && kind <= NodeKind::GeneralAsset;
}
// Debts: credit card, loan, general debt.
constexpr bool isDebtAccountKind(NodeKind kind)
{
    return kind >= NodeKind::CreditCard && kind <= NodeKind::GeneralDebt;
}
// Nodes the balance cache accumulates day by day.
constexpr bool isBalanceNodeKind(NodeKind kind)
{
    return kind == NodeKind::Cash || kind == NodeKind::Bank || kind == NodeKind::GeneralAsset ||
           isDebtAccountKind(kind) || kind == NodeKind::CashPart;
}
// Kinds whose name may be a localisation key ("SYS:...").
constexpr bool isSystemNameKind(NodeKind kind)
{
    return kind >= NodeKind::SummaryRoot && kind <= NodeKind::SystemItem;
}

// The kind of an entry (`Entry::kind`).
enum class EntryKind : int {
    Income = 0,   // money in, against an income category
    Expense = 1,  // money out, against an expense category
    Transfer = 2, // between two accounts, against a transfer item 10-13
};

// The kind of a trade (`Trade::kind`).
enum class TradeKind : int {
    Buy = 0,           // units in, money out
    Sale = 1,          // units out, money in
    TransferUnits = 2, // units from one investment account to another
    OtherIncome = 5,   // money in without units
    OtherExpense = 6,  // money out without units
    Dividend = 10,     // dividend paid out
    Interest = 11,     // interest paid out
    Distribution = 12, // fund distribution paid out
    Split = 13,        // more units, no money
    Merge = 14,        // fewer units, no money
    Increase = 16,     // units in without money
    Decrease = 17,     // units out without money
    MarginSale = 18,   // short sale on margin
    BuyBack = 19,      // closes a margin sale
    MarginBuy = 20,    // purchase on margin
    SellBack = 21,     // closes a margin purchase
    CashIn = 30,       // units bought with cash paid in
    Reinvestment = 31, // distribution reinvested as units
};
constexpr int raw(EntryKind kind)
{
    return int(kind);
}
constexpr bool operator==(int stored, EntryKind kind)
{
    return stored == int(kind);
}
constexpr int raw(TradeKind kind)
{
    return int(kind);
}
constexpr bool operator==(int stored, TradeKind kind)
{
    return stored == int(kind);
}

// The kind of a security (`Security::kind`); it also picks the trade kinds offered.
enum class SecurityKind : int {
    Stock = 0,           // shares, counted in whole units
    InvestmentTrust = 1, // fund units, counted with a fraction
    Bond = 2,            // bond
};
constexpr int raw(SecurityKind kind)
{
    return int(kind);
}
constexpr bool operator==(int stored, SecurityKind kind)
{
    return stored == int(kind);
}

// The kind of a row of a loan's repayment schedule (`LoanPayment::kind`).
enum class LoanPaymentKind : int {
    Regular = 0,             // monthly payment
    Bonus = 1,               // bonus-month payment
    ExtraLowerRegular = 2,   // extra repayment of the regular part that lowers the later payments
    ExtraLowerBonus = 3,     // the same, of the bonus part
    ExtraShortenRegular = 4, // extra repayment of the regular part that shortens the term
    ExtraShortenBonus = 5,   // the same, of the bonus part
};
constexpr int raw(LoanPaymentKind kind)
{
    return int(kind);
}
constexpr bool operator==(int stored, LoanPaymentKind kind)
{
    return stored == int(kind);
}
// The extra repayments of one part (regular or bonus) of a schedule.
constexpr LoanPaymentKind lowerPaymentsKindOf(LoanPaymentKind part)
{
    return part == LoanPaymentKind::Bonus ? LoanPaymentKind::ExtraLowerBonus : LoanPaymentKind::ExtraLowerRegular;
}
constexpr LoanPaymentKind shortenTermKindOf(LoanPaymentKind part)
{
    return part == LoanPaymentKind::Bonus ? LoanPaymentKind::ExtraShortenBonus : LoanPaymentKind::ExtraShortenRegular;
}

// A document type; the file extension decides it.
enum class DocumentType {
    None,     // no type has the extension
    Current,  // "cvv2": the current format, read and written
    Version1, // "cvv1": the older format, read only; saved as a .cvv2 beside it
    XML,      // "cvxf": the whole-document XML form, also the templates
};

// The one place where types and extensions meet.
DocumentType documentTypeForExtension(const QString &extension);
QString extensionForDocumentType(DocumentType type);
// The type a document of this type is saved as: an older file is saved as the current format.
constexpr DocumentType savedDocumentType(DocumentType type)
{
    return type == DocumentType::Version1 ? DocumentType::Current : type;
}
// The path with the current type's extension: an older or upgraded book is
// saved as the .cvv2 of the same name beside it.
QString currentTypePathFor(const QString &path);

} // namespace cv
