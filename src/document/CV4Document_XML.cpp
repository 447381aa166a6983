#include "document/CV4DocumentXML.h"

#include "document/CV4Document.h"
#include "document/CV4DocumentPrivate.h"
#include "model/CV4Actual.h"
#include "model/CV4BankModel.h"
#include "model/CV4Budget.h"
#include "model/CV4CreditCardModel.h"
#include "model/CV4InvestUnit.h"
#include "model/CV4LoanModel.h"
#include "model/CV4PriceTime.h"
#include "model/CV4Summary.h"
#include "model/CV4Trade.h"
#include "platform/KeyedArchiver.h"
#include "platform/Logging.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// ---------------------------------------------------------------- names

const char TAG_TOPLEVEL[] = "cvxf";
const char TAG_GROUPING_LIST[] = "group_list";
const char TAG_GROUPING[] = "group";
const char TAG_CURRENCY_LIST[] = "currency_list";
const char TAG_CURRENCY[] = "currency";
const char TAG_BRAND_LIST[] = "brand_list";
const char TAG_BRAND[] = "brand";
const char TAG_PRICETIME[] = "price";
const char TAG_ASSET[] = "asset";
const char TAG_DEBT[] = "debt";
const char TAG_ACCOUNT_SUMMARY[] = "account_sum";
const char TAG_TRANSFER[] = "transfer";
const char TAG_INCOME[] = "income";
const char TAG_EXPENSE[] = "expense";
const char TAG_ACTUAL_SUMMARY[] = "actual_sum";
const char TAG_TITLE[] = "title";
const char TAG_NOTE[] = "note";
const char TAG_BUDGET[] = "budget";
const char TAG_ACTUAL[] = "actual";
const char TAG_TRADE[] = "trade";
const char TAG_REPAYMENT[] = "repayment";
const char TAG_REFERENCE[] = "reference";

struct NodeTag {
    int kind;
    const char *tag;
};
const NodeTag kNodeTags[] = {
    {5, "node_system"}, {6, "node_brand"},  {20, "node_group"},        {21, "node_actual"},
    {30, "node_cache"}, {31, "node_bank"},  {32, "node_invest"},       {33, "node_asset"},
    {40, "node_credit"}, {41, "node_loan"}, {42, "node_debt"},         {50, "node_account_sum"},
    {51, "node_actual_sum"},
};

const char ATTR_ID[] = "id";
const char ATTR_CURRENCY[] = "currency";
const char ATTR_DATE[] = "date";
const char ATTR_VALUE[] = "value";
const char ATTR_KIND[] = "kind";
const char ATTR_BRAND[] = "brand";
const char ATTR_ACCOUNT[] = "account";
const char ATTR_CATEGORY[] = "category";
const char ATTR_TRANSFER[] = "transfer";
const char ATTR_GROUPING[] = "group";
const char ATTR_CONVERTED[] = "converted";
const char ATTR_COUNT[] = "count";
const char ATTR_PRICE[] = "price";
const char ATTR_COST[] = "cost";
const char ATTR_FRACTION[] = "fraction";
const char ATTR_ABBR[] = "abbr";
const char ATTR_PREFIX[] = "prefix";
const char ATTR_RATE[] = "rate";
const char ATTR_MARKET[] = "market";
const char ATTR_CODE[] = "code";
const char ATTR_RISK[] = "risk";
const char ATTR_COMPANY[] = "company";
const char ATTR_BRANCH[] = "branch";
const char ATTR_TEL[] = "tel";
const char ATTR_LIMIT[] = "limit";
const char ATTR_CUTOFF[] = "cutoff";
const char ATTR_DUE[] = "due";
const char ATTR_BONUS_MONTH[] = "bonus_month";
const char ATTR_BONUS_VALUE[] = "bonus_value";
const char ATTR_POSTPAID[] = "postpaid";
const char ATTR_NEXTMONTH[] = "next_month";
const char ATTR_NEXTDAY[] = "next_day";
const char ATTR_HOLIDAY[] = "holiday";
const char ATTR_REFID[] = "refid";
const char ATTR_INTEREST[] = "interest";
const char ATTR_PRINCIPAL[] = "principal";
const char ATTR_VIEWSUMMARY[] = "summary";
const char ATTR_TEMPLATE[] = "template";

const char *nodeTag(int kind)
{
    for (const auto &t : kNodeTags)
        if (t.kind == kind) return t.tag;
    return nullptr;
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

QByteArray dateStr(const QDate &date)
{
    return QByteArray::number(date.year()) + '.' + QByteArray::number(date.month()) + '.'
        + QByteArray::number(date.day());
}

QByteArray shortestFixed(double value)
{
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return QByteArray::number(value, 'f', 6);
    return QByteArray(buf, int(result.ptr - buf));
}

bool readsBackAs(const QByteArray &text, double value)
{
    return cv::xml::parseDecimal(QString::fromLatin1(text)) == value;
}

// ---------------------------------------------------------------- writer

// Attribute text of one start tag, in the order the calls come.
class Attributes {
public:
    Attributes &add(const char *name, const QByteArray &value)
    {
        m_text += ' ';
        m_text += name;
        m_text += "=\"";
        m_text += value;
        m_text += '"';
        return *this;
    }
    Attributes &integer(const char *name, int value) { return add(name, QByteArray::number(value)); }
    Attributes &string(const char *name, const QString &value) { return add(name, cv::xml::escaped(value, true)); }
    Attributes &amount(const char *name, double value) { return add(name, cv::xml::decimal(value, 2)); }
    Attributes &price(const char *name, double value) { return add(name, cv::xml::decimal(value, 6)); }
    Attributes &rate(const char *name, double value) { return add(name, cv::xml::decimal(value, 4)); }
    Attributes &date(const char *name, const QDate &value) { return add(name, dateStr(value)); }
    Attributes &flag(const char *name) { return add(name, "1"); }
    const QByteArray &text() const { return m_text; }

private:
    QByteArray m_text;
};

class XMLWriter {
public:
    XMLWriter(CV4Document &document, QIODevice &device)
        : m_doc(document)
        , m_device(device)
    {
    }

    bool run();

private:
    void line(int level, const QByteArray &item);
    void outputStart(const char *tag, int level, const Attributes &attributes = {})
    {
        line(level, '<' + QByteArray(tag) + attributes.text() + '>');
    }
    void outputEnd(const char *tag, int level) { line(level, "</" + QByteArray(tag) + '>'); }
    void outputClosed(const char *tag, int level, const Attributes &attributes)
    {
        line(level, '<' + QByteArray(tag) + attributes.text() + "/>");
    }
    void outputString(const char *tag, const QString &text, int level)
    {
        line(level, '<' + QByteArray(tag) + '>' + cv::xml::escaped(text, false) + "</" + tag + '>');
    }

    void outputPriceTime(const CV4PriceTime &price, int level);
    void outputActual(const CV4Actual &entry, int level);
    void outputTrade(const CV4Trade &trade, int level);
    void outputBudget(const CVUnitModel &node, int level);
    void outputNode(const CVUnitModel &node, int level);
    void outputChildren(const CVUnitModel *node, int level);
    void appendAssetInfo(Attributes &attributes, const CV4AssetModel *record);
    void nodeAttributes(const CVUnitModel &node, Attributes &a);

    CV4Document &m_doc;
    QIODevice &m_device;
    bool m_ok = true;
};

void XMLWriter::line(int level, const QByteArray &item)
{
    if (!m_ok) return;
    static const char kSpaces[] = "         ";   // the indentation never exceeds nine
    const int indent = std::clamp(level, 0, 9);
    if (m_device.write(kSpaces, indent) != indent || m_device.write(item) != item.size() || m_device.write("\n", 1) != 1)
        m_ok = false;
}

bool XMLWriter::run()
{
    line(0, "<?xml version=\"1.0\"?>");
    Attributes root;
    root.add("version", "1.0").date(ATTR_DATE, QDate::currentDate());
    if (m_doc.settings() && m_doc.settings()->viewerSummary() != 0)
        root.integer(ATTR_VIEWSUMMARY, m_doc.settings()->viewerSummary());
    outputStart(TAG_TOPLEVEL, 0, root);

    if (!m_doc.groupList().empty()) {
        outputStart(TAG_GROUPING_LIST, 1);
        for (const auto &g : m_doc.groupList()) {
            if (!g) continue;
            outputStart(TAG_GROUPING, 2, Attributes().integer(ATTR_ID, g->ident()));
            if (!g->name().isEmpty()) outputString(TAG_TITLE, g->name(), 3);
            outputEnd(TAG_GROUPING, 2);
        }
        outputEnd(TAG_GROUPING_LIST, 1);
    }

    CV4DataModel &store = *m_doc.dataModel();
    outputStart(TAG_CURRENCY_LIST, 1);
    for (const auto &c : m_doc.currencyList()) {
        if (!c) continue;
        Attributes a;
        a.integer(ATTR_ID, c->ident()).integer(ATTR_FRACTION, c->fraction()).string(ATTR_ABBR, c->abbr());
        a.string(ATTR_PREFIX, c->prefix()).rate(ATTR_RATE, c->rate());
        outputStart(TAG_CURRENCY, 2, a);
        outputString(TAG_TITLE, c->name(), 3);
        if (const auto rates = store.getXchgRateListForCurrency(c->ident())) {
            for (const auto &r : *rates) outputPriceTime(*r, 3);
        } else {
            m_ok = false;
        }
        outputEnd(TAG_CURRENCY, 2);
    }
    outputEnd(TAG_CURRENCY_LIST, 1);

    outputStart(TAG_BRAND_LIST, 1);
    for (const auto &b : m_doc.brandList()) {
        if (!b) continue;
        Attributes a;
        a.integer(ATTR_ID, b->ident()).integer(ATTR_KIND, b->kind()).integer(ATTR_MARKET, b->market());
        a.integer(ATTR_CURRENCY, b->currency());
        if (b->code() != 0) a.integer(ATTR_CODE, b->code());
        if (!b->symbol().isEmpty()) a.string(ATTR_ABBR, b->symbol());
        if (b->risk() != 0) a.integer(ATTR_RISK, b->risk());
        outputStart(TAG_BRAND, 2, a);
        outputString(TAG_TITLE, b->name(), 3);
        if (const auto prices = store.getPriceListForBrand(b->ident())) {
            for (const auto &p : *prices) outputPriceTime(*p, 3);
        } else {
            m_ok = false;
        }
        outputEnd(TAG_BRAND, 2);
    }
    outputEnd(TAG_BRAND_LIST, 1);

    const auto &accounts = *m_doc.accountModel();
    const auto &categories = *m_doc.actualModel();
    const std::pair<const char *, CVUnitModel *> sections[] = {
        {TAG_ASSET, accounts.asset().get()},          {TAG_DEBT, accounts.debt().get()},
        {TAG_ACCOUNT_SUMMARY, accounts.summary().get()}, {TAG_TRANSFER, categories.moneyFlow().get()},
        {TAG_INCOME, categories.income().get()},      {TAG_EXPENSE, categories.expense().get()},
        {TAG_ACTUAL_SUMMARY, categories.summary().get()},
    };
    for (const auto &[tag, rootNode] : sections) {
        outputStart(tag, 1);
        outputChildren(rootNode, 2);
        outputEnd(tag, 1);
    }
    outputEnd(TAG_TOPLEVEL, 0);
    return m_ok;
}

void XMLWriter::outputPriceTime(const CV4PriceTime &price, int level)
{
    outputClosed(TAG_PRICETIME, level, Attributes().date(ATTR_DATE, price.date()).price(ATTR_VALUE, price.price()));
}

void XMLWriter::outputActual(const CV4Actual &entry, int level)
{
    Attributes a;
    a.integer(ATTR_KIND, entry.kind()).integer(ATTR_CATEGORY, entry.category()).integer(ATTR_ACCOUNT, entry.account());
    a.date(ATTR_DATE, entry.date()).amount(ATTR_VALUE, entry.amount());
    if (entry.destination() != 0) a.integer(ATTR_TRANSFER, entry.destination());
    if (entry.group() != 0) a.integer(ATTR_GROUPING, entry.group());
    if (entry.converted() != 0) a.amount(ATTR_CONVERTED, entry.converted());
    if (entry.memo().isEmpty()) {
        outputClosed(TAG_ACTUAL, level, a);
        return;
    }
    outputStart(TAG_ACTUAL, level, a);
    outputString(TAG_NOTE, entry.memo(), level + 1);
    outputEnd(TAG_ACTUAL, level);
}

void XMLWriter::outputTrade(const CV4Trade &trade, int level)
{
    Attributes a;
    a.integer(ATTR_KIND, trade.kind()).integer(ATTR_BRAND, trade.brand()).integer(ATTR_ACCOUNT, trade.account());
    a.date(ATTR_DATE, trade.date());
    if (trade.transfer() != 0) a.integer(ATTR_TRANSFER, trade.transfer());
    if (trade.count() != 0) {
        const CV4BrandPtr brand = m_doc.findBrand(trade.brand());
        a.add(ATTR_COUNT, !brand || brand->kind() == CV4Brand::Stock ? cv::xml::count(trade.count())
                                                                     : cv::xml::decimal(trade.count(), 6));
    }
    if (trade.unitPrice() != 0) a.price(ATTR_PRICE, trade.unitPrice());
    if (trade.commission() != 0) a.amount(ATTR_COST, trade.commission());
    if (trade.memo().isEmpty()) {
        outputClosed(TAG_TRADE, level, a);
        return;
    }
    outputStart(TAG_TRADE, level, a);
    outputString(TAG_NOTE, trade.memo(), level + 1);
    outputEnd(TAG_TRADE, level);
}

void XMLWriter::outputBudget(const CVUnitModel &node, int level)
{
    const auto *budget = dynamic_cast<const CV4Budget *>(node.extra().get());
    if (!budget) return;
    int year = 0, month = 0;
    double value = 0;
    for (int i = 0; budget->indexedBudgetAt(i, year, month, value); ++i) {
        const QByteArray date = QByteArray::number(year) + '.' + QByteArray::number(month) + ".1";
        outputClosed(TAG_BUDGET, level, Attributes().add(ATTR_DATE, date).amount(ATTR_VALUE, value));
    }
}

void XMLWriter::appendAssetInfo(Attributes &a, const CV4AssetModel *record)
{
    if (!record) return;
    if (record->initialValue() != 0) a.amount(ATTR_VALUE, record->initialValue());
    if (record->date().isValid()) a.date(ATTR_DATE, record->date());
}

void XMLWriter::nodeAttributes(const CVUnitModel &node, Attributes &a)
{
    const cv::KeyedArchivable *extra = node.extra().get();
    const auto *asset = dynamic_cast<const CV4AssetModel *>(extra);
    switch (cv::NodeKind(node.kind())) {
    case cv::NodeKind::Holding:
        if (const auto *unit = dynamic_cast<const CV4InvestUnit *>(extra)) {
            // A holding without a date has none to write; "0.0.0" would read back as garbage.
            if (unit->date().isValid()) a.date(ATTR_DATE, unit->date());
            a.integer(ATTR_BRAND, unit->brand());
            if (unit->units() > 0) {
                a.add(ATTR_COUNT, cv::xml::count(unit->units()));
                a.amount(ATTR_PRICE, unit->unitPrice()).amount(ATTR_COST, unit->commission());
            }
        }
        break;
    case cv::NodeKind::Cash:
    case cv::NodeKind::Investment:
    case cv::NodeKind::GeneralAsset:
    case cv::NodeKind::GeneralDebt: appendAssetInfo(a, asset); break;
    case cv::NodeKind::Bank: {
        static const CV4BankModel blank;
        const auto *bank = dynamic_cast<const CV4BankModel *>(extra);
        appendAssetInfo(a, asset);
        if (!bank) bank = &blank;
        if (bank->kind() != 0) a.integer(ATTR_KIND, bank->kind());
        a.string(ATTR_COMPANY, bank->name()).string(ATTR_BRANCH, bank->branchName());
        a.string(ATTR_CODE, bank->accountNumber());
        if (!bank->telephone().isEmpty()) a.string(ATTR_TEL, bank->telephone());
        a.rate(ATTR_RATE, bank->interestRate());
        break;
    }
    case cv::NodeKind::CreditCard: {
        static const CV4CreditCardModel blank;
        const auto *card = dynamic_cast<const CV4CreditCardModel *>(extra);
        appendAssetInfo(a, asset);
        if (!card) card = &blank;
        a.string(ATTR_COMPANY, card->name());
        if (!card->telephone().isEmpty()) a.string(ATTR_TEL, card->telephone());
        a.amount(ATTR_LIMIT, card->limit()).integer(ATTR_CUTOFF, card->cutoffDay()).integer(ATTR_DUE, card->dueDay());
        break;
    }
    case cv::NodeKind::Loan: {
        static const CV4LoanModel blank;
        const auto *loan = dynamic_cast<const CV4LoanModel *>(extra);
        appendAssetInfo(a, asset);
        if (!loan) loan = &blank;
        if (loan->loanType() != 0) a.integer(ATTR_KIND, loan->loanType());
        a.integer(ATTR_DUE, loan->dueDay()).rate(ATTR_RATE, loan->rate()).integer(ATTR_COUNT, loan->times());
        a.integer(ATTR_ACCOUNT, loan->repaymentAccount());
        if (loan->inAccount() != 0) a.integer(ATTR_TRANSFER, loan->inAccount());
        if (loan->outCategory() != 0) a.integer(ATTR_CATEGORY, loan->outCategory());
        if (loan->bonusMonths() != 0)
            a.integer(ATTR_BONUS_MONTH, loan->bonusMonths()).amount(ATTR_BONUS_VALUE, loan->bonusAmount());
        const int flags = loan->repaymentFlags();
        if (flags & CV4LoanModel::InterestInArrears) a.flag(ATTR_POSTPAID);
        if (flags & CV4LoanModel::FirstDueNextMonth) a.flag(ATTR_NEXTMONTH);
        if (flags & CV4LoanModel::CountFromStartDate) a.flag(ATTR_NEXTDAY);
        if (flags & CV4LoanModel::NoFirstRowAdjustment) a.flag(ATTR_FRACTION);
        if (!(flags & CV4LoanModel::HolidayNoMove))
            a.add(ATTR_HOLIDAY, (flags & CV4LoanModel::HolidayToPrevious) ? "-" : "+");
        break;
    }
    default: break;
    }
}

void XMLWriter::outputNode(const CVUnitModel &node, int level)
{
    const int kind = node.kind();
    if (kind == cv::NodeKind::CashPart) return;   // the cash part belongs to its investment account
    const char *known = nodeTag(kind);
    const QByteArray tag = known ? QByteArray(known) : "unknown_" + QByteArray::number(kind);

    Attributes a;
    if (node.ident() != 0) a.integer(ATTR_ID, node.ident());
    if (node.currency() != 0) a.integer(ATTR_CURRENCY, node.currency());
    nodeAttributes(node, a);
    outputStart(tag.constData(), level, a);

    if (!node.name().isEmpty()) outputString(TAG_TITLE, node.name(), level + 1);
    QString memo;
    const cv::KeyedArchivable *extra = node.extra().get();
    if (kind == cv::NodeKind::Holding || cv::isAssetAccountKind(kind) || cv::isDebtAccountKind(kind)) {
        if (const auto *asset = dynamic_cast<const CV4AssetModel *>(extra))
            memo = asset->memo();
        else if (const auto *unit = dynamic_cast<const CV4InvestUnit *>(extra))
            memo = unit->memo();
    } else if (kind == cv::NodeKind::AccountSummary || kind == cv::NodeKind::CategorySummary) {
        if (const auto *summary = dynamic_cast<const CV4Summary *>(extra)) memo = summary->memo();
    }
    if (!memo.isEmpty()) outputString(TAG_NOTE, memo, level + 1);

    const bool inBudgetTree = m_doc.actualModel()->isIncomeOrExpense(&node);
    CV4DataModel &store = *m_doc.dataModel();
    const int child = level + 1;
    if (kind == cv::NodeKind::Category || (kind == cv::NodeKind::SystemItem && node.ident() >= 10 && node.ident() <= 13)) {
        if (inBudgetTree) outputBudget(node, child);
        if (const auto entries = store.findActualFrom(QDate(), QDate(), node.ident())) {
            for (const auto &e : *entries) outputActual(*e, child);
        } else {
            m_ok = false;
        }
    } else if (kind == cv::NodeKind::Holding) {
        const auto *unit = dynamic_cast<const CV4InvestUnit *>(extra);
        if (unit && node.parent()) {
            if (const auto trades = store.findTradeBySourceAccount(node.parent()->ident(), unit->brand())) {
                for (const auto &t : *trades) outputTrade(*t, child);
            } else {
                m_ok = false;
            }
        }
    } else if (kind == cv::NodeKind::Loan) {
        if (const auto rows = m_doc.getLoan(node.ident())) {
            for (const auto &row : *rows) {
                if (!row) continue;
                Attributes r;
                r.integer(ATTR_KIND, row->kind()).date(ATTR_DATE, row->date()).rate(ATTR_RATE, row->rate());
                r.integer(ATTR_ACCOUNT, row->account()).amount(ATTR_INTEREST, row->interest());
                r.amount(ATTR_PRINCIPAL, row->principal());
                outputClosed(TAG_REPAYMENT, child, r);
            }
        }
    } else if (kind == cv::NodeKind::AccountSummary || kind == cv::NodeKind::CategorySummary) {
        if (const auto *summary = dynamic_cast<const CV4Summary *>(extra)) {
            for (const auto &unit : summary->assetList())
                if (unit) outputClosed(TAG_REFERENCE, child, Attributes().integer(ATTR_REFID, unit->refID()));
            for (const auto &unit : summary->debtList())
                if (unit)
                    outputClosed(TAG_REFERENCE, child, Attributes().integer(ATTR_REFID, unit->refID()).flag(ATTR_KIND));
        }
    } else {
        if (inBudgetTree) outputBudget(node, child);
        outputChildren(&node, child);
    }
    outputEnd(tag.constData(), level);
}

void XMLWriter::outputChildren(const CVUnitModel *node, int level)
{
    if (!node) return;
    for (const auto &c : node->children())
        if (c) outputNode(*c, level);
}

// ---------------------------------------------------------------- reader

// Codes of the items the reader keeps open.
enum Code {
    Neutral = 0,
    TopLevel = 1,
    GroupList = 2,
    CurrencyList = 3,
    BrandList = 4,
    Asset = 5,
    Debt = 6,
    AccountSummary = 7,
    Income = 8,
    Expense = 9,
    Transfer = 10,
    ActualSummary = 11,
    Reference = 12,
    Node = 13,
    Currency = 15,
    Brand = 16,
    Grouping = 17,
    Price = 18,
    Trade = 19,
    Actual = 20,
    Repayment = 21,
    LoanNode = 22,
    Budget = 23,
    Title = 24,
    Note = 25,
    NodeBase = 1000,
};

// One open element and what it builds.
struct Frame {
    int code = Neutral;
    CVUnitModelPtr node;          // tree sections and nodes
    CV4CurrencyPtr currency;
    CV4BrandPtr brand;
    CV4GroupingPtr grouping;
    CV4PriceTimePtr price;
    CV4TradePtr trade;
    CV4ActualPtr actual;
    CV4LoanSchedule loanRows;     // rows of a loan node
    QString text;                 // title and note
};

// Nesting no real file approaches; it keeps hostile files from exhausting
// the stack in the recursive tree walks that follow an import.
constexpr int kMaxDepth = 2048;

class XMLReader : private QXmlStreamEntityResolver {
public:
    explicit XMLReader(CV4Document &document)
        : m_doc(document)
        , m_store(*document.dataModel())
    {
        static const std::pair<const char *, int> tags[] = {
            {TAG_TOPLEVEL, TopLevel},     {TAG_GROUPING_LIST, GroupList}, {TAG_CURRENCY_LIST, CurrencyList},
            {TAG_BRAND_LIST, BrandList},  {TAG_ASSET, Asset},             {TAG_DEBT, Debt},
            {TAG_ACCOUNT_SUMMARY, AccountSummary}, {TAG_INCOME, Income},  {TAG_EXPENSE, Expense},
            {TAG_TRANSFER, Transfer},     {TAG_ACTUAL_SUMMARY, ActualSummary}, {TAG_REFERENCE, Reference},
            {TAG_CURRENCY, Currency},     {TAG_BRAND, Brand},             {TAG_GROUPING, Grouping},
            {TAG_PRICETIME, Price},       {TAG_TRADE, Trade},             {TAG_ACTUAL, Actual},
            {TAG_REPAYMENT, Repayment},   {TAG_BUDGET, Budget},           {TAG_TITLE, Title},
            {TAG_NOTE, Note},
        };
        for (const auto &[tag, code] : tags) m_tags.insert(QLatin1String(tag), code);
        for (const auto &t : kNodeTags) m_tags.insert(QLatin1String(t.tag), NodeBase + t.kind);
    }

    bool run(QIODevice &device, bool *isTemplate);

private:
    // Undeclared entities stand for their own name.
    QString resolveUndeclaredEntity(const QString &name) override { return name; }
    QString resolveEntity(const QString &, const QString &) override { return QString(); }

    bool start();
    void end();
    Frame *parent() { return m_stack.empty() ? nullptr : &m_stack.back(); }
    bool parentIs(std::initializer_list<int> codes)
    {
        const Frame *p = parent();
        return p && std::find(codes.begin(), codes.end(), p->code) != codes.end();
    }
    void ignore(const char *why);
    void stored(bool ok);

    int intAttr(const char *name) const;
    double decimalAttr(const char *name) const;
    QString stringAttr(const char *name) const;
    bool hasAttr(const char *name) const { return m_attributes.hasAttribute(QLatin1String(name)); }
    QDate dateAttr(const char *name) const;
    void restoreAssetInfo(CV4AssetModel &record) const;
    bool startNode(Frame &frame, int kind);
    void storeLoan(Frame &frame);

    CV4Document &m_doc;
    CV4DataModel &m_store;
    QXmlStreamReader m_xml;
    QXmlStreamAttributes m_attributes;
    QHash<QString, int> m_tags;
    std::vector<Frame> m_stack;
    std::vector<CVUnitModelPtr> m_withoutCurrency;
    bool m_template = false;
    bool m_sawRoot = false;
    bool m_storeFailed = false;
};

void XMLReader::ignore(const char *why)
{
    qCWarning(lcDocument).noquote() << "xml: " << why << " <" << m_xml.name().toString() << "> at line"
                                    << m_xml.lineNumber() << "ignored";
    m_xml.skipCurrentElement();
}

void XMLReader::stored(bool ok)
{
    if (ok) return;
    if (!m_storeFailed) qCWarning(lcDocument) << "xml: store write failed during import";
    m_storeFailed = true;
}

int XMLReader::intAttr(const char *name) const
{
    const QStringView text = m_attributes.value(QLatin1String(name));
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i].unicode() - u'0'), qint64(std::numeric_limits<int>::max()) + 1);
    if (negative) value = -value;
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

double XMLReader::decimalAttr(const char *name) const
{
    return cv::xml::parseDecimal(m_attributes.value(QLatin1String(name)));
}

QString XMLReader::stringAttr(const char *name) const
{
    return m_attributes.value(QLatin1String(name)).toString();
}

// "%d.%d.%d"; an invalid date for anything else.
QDate XMLReader::dateAttr(const char *name) const
{
    QStringView rest = m_attributes.value(QLatin1String(name));
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        // Cut at the dots in place: a list of the parts per date was a
        // noticeable share of reading a book.
        const qsizetype dot = rest.indexOf(u'.');
        if ((dot < 0) != (i == 2)) return QDate();
        bool ok = false;
        numbers[i] = (dot < 0 ? rest : rest.left(dot)).trimmed().toInt(&ok);
        if (!ok) return QDate();
        if (dot >= 0) rest = rest.mid(dot + 1);
    }
    return QDate(numbers[0], numbers[1], numbers[2]);
}

void XMLReader::restoreAssetInfo(CV4AssetModel &record) const
{
    record.setInitialValue(decimalAttr(ATTR_VALUE));
    if (hasAttr(ATTR_DATE)) {
        const QDate date = dateAttr(ATTR_DATE);
        if (!date.isValid()) qCWarning(lcDocument) << "xml: account start date unreadable at line" << m_xml.lineNumber();
        record.setDate(date);
    }
}

bool XMLReader::run(QIODevice &device, bool *isTemplate)
{
    m_xml.setDevice(&device);
    m_xml.setEntityResolver(this);
    m_stack.reserve(64);
    if (!m_store.beginTransaction()) stored(false);
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (m_stack.size() >= size_t(kMaxDepth)) {
                m_xml.raiseError(QStringLiteral("elements nested too deeply"));
                break;
            }
            start();
            break;
        case QXmlStreamReader::DTD:
            // References to a declared entity multiply its text without bound;
            // books never declare any.
            if (!m_xml.entityDeclarations().isEmpty())
                m_xml.raiseError(QStringLiteral("entity declarations are not read"));
            break;
        case QXmlStreamReader::EndElement: end(); break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (Frame *p = parent(); p && (p->code == Title || p->code == Note)) {
                p->text += m_xml.isCharacters() ? m_xml.text() : m_xml.name();
            }
            break;
        default: break;
        }
    }
    const bool wellFormed = !m_xml.hasError();
    if (!wellFormed)
        qCWarning(lcDocument).noquote() << "xml: " << m_xml.errorString() << " at line" << m_xml.lineNumber();
    // What was read before an error stays, as the records already stored do.
    while (!m_stack.empty()) {
        if (m_stack.back().code == LoanNode && wellFormed) storeLoan(m_stack.back());
        m_stack.pop_back();
    }
    if (!m_store.commitTransaction()) stored(false);
    if (const CV4CurrencyPtr def = m_doc.defaultCurrency()) {
        for (const auto &node : m_withoutCurrency)
            if (node->currency() == 0) node->setCurrency(def->ident());
    }
    m_doc.clearLookups();
    if (isTemplate) *isTemplate = m_template;
    // Another program's XML would otherwise open as an empty book under its name.
    if (wellFormed && !m_sawRoot) qCWarning(lcDocument) << "xml: the file holds no" << TAG_TOPLEVEL << "element";
    return wellFormed && m_sawRoot && !m_storeFailed;
}

bool XMLReader::startNode(Frame &frame, int kind)
{
    if (!parentIs({Asset, Debt, AccountSummary, Income, Expense, Transfer, ActualSummary, Node, LoanNode})) {
        ignore("misplaced");
        return false;
    }
    auto node = std::make_shared<CVUnitModel>();
    node->setKind(kind);
    node->setIdent(intAttr(ATTR_ID));
    int currency = intAttr(ATTR_CURRENCY);
    if (currency == 0) {
        if (const CV4CurrencyPtr def = m_doc.defaultCurrency())
            currency = def->ident();
        else
            m_withoutCurrency.push_back(node);
    }
    node->setCurrency(currency);
    frame.code = Node;
    switch (cv::NodeKind(kind)) {
    case cv::NodeKind::Holding: {
        auto unit = std::make_shared<CV4InvestUnit>();
        if (hasAttr(ATTR_DATE)) {
            unit->setDate(dateAttr(ATTR_DATE));
            if (!unit->date().isValid())
                qCWarning(lcDocument) << "xml: holding date unreadable at line" << m_xml.lineNumber();
        }
        unit->setBrand(intAttr(ATTR_BRAND));
        unit->setUnits(decimalAttr(ATTR_COUNT));
        if (unit->units() > 0) {
            unit->setUnitPrice(decimalAttr(ATTR_PRICE));
            unit->setCommission(decimalAttr(ATTR_COST));
        }
        node->setExtra(unit);
        break;
    }
    case cv::NodeKind::Loan: {
        auto loan = std::make_shared<CV4LoanModel>();
        restoreAssetInfo(*loan);
        loan->setLoanType(intAttr(ATTR_KIND));
        loan->setDueDay(intAttr(ATTR_DUE));
        loan->setTimes(intAttr(ATTR_COUNT));
        loan->setRepaymentAccount(intAttr(ATTR_ACCOUNT));
        loan->setRate(decimalAttr(ATTR_RATE));
        if (const int in = intAttr(ATTR_TRANSFER)) loan->setInAccount(in);
        if (const int out = intAttr(ATTR_CATEGORY)) loan->setOutCategory(out);
        loan->setBonusMonths(intAttr(ATTR_BONUS_MONTH));
        loan->setBonusAmount(decimalAttr(ATTR_BONUS_VALUE));
        int flags = 0;
        if (intAttr(ATTR_POSTPAID)) flags |= CV4LoanModel::InterestInArrears;
        if (intAttr(ATTR_NEXTMONTH)) flags |= CV4LoanModel::FirstDueNextMonth;
        if (intAttr(ATTR_NEXTDAY)) flags |= CV4LoanModel::CountFromStartDate;
        if (intAttr(ATTR_FRACTION)) flags |= CV4LoanModel::NoFirstRowAdjustment;
        if (!hasAttr(ATTR_HOLIDAY))
            flags |= CV4LoanModel::HolidayNoMove;
        else if (stringAttr(ATTR_HOLIDAY) == u"-")
            flags |= CV4LoanModel::HolidayToPrevious;
        loan->setRepaymentFlags(flags);
        node->setExtra(loan);
        frame.code = LoanNode;
        break;
    }
    case cv::NodeKind::Investment: {
        auto record = std::make_shared<CV4AssetModel>();
        restoreAssetInfo(*record);
        node->setExtra(record);
        auto cash = std::make_shared<CVUnitModel>();
        cash->setKind(cv::raw(cv::NodeKind::CashPart));
        cash->setIdent(0);
        cash->setCurrency(currency);
        if (currency == 0) m_withoutCurrency.push_back(cash);
        node->appendChild(cash);
        break;
    }
    case cv::NodeKind::Cash:
    case cv::NodeKind::GeneralAsset:
    case cv::NodeKind::GeneralDebt: {
        auto record = std::make_shared<CV4AssetModel>();
        restoreAssetInfo(*record);
        node->setExtra(record);
        break;
    }
    case cv::NodeKind::Bank: {
        auto bank = std::make_shared<CV4BankModel>();
        restoreAssetInfo(*bank);
        bank->setKind(intAttr(ATTR_KIND));
        bank->setName(stringAttr(ATTR_COMPANY));
        bank->setBranchName(stringAttr(ATTR_BRANCH));
        bank->setAccountNumber(stringAttr(ATTR_CODE));
        bank->setTelephone(stringAttr(ATTR_TEL));
        bank->setInterestRate(decimalAttr(ATTR_RATE));
        node->setExtra(bank);
        break;
    }
    case cv::NodeKind::CreditCard: {
        auto card = std::make_shared<CV4CreditCardModel>();
        restoreAssetInfo(*card);
        card->setName(stringAttr(ATTR_COMPANY));
        card->setTelephone(stringAttr(ATTR_TEL));
        card->setLimit(decimalAttr(ATTR_LIMIT));
        card->setCutoffDay(intAttr(ATTR_CUTOFF));
        card->setDueDay(intAttr(ATTR_DUE));
        node->setExtra(card);
        break;
    }
    case cv::NodeKind::AccountSummary:
    case cv::NodeKind::CategorySummary: node->setExtra(std::make_shared<CV4Summary>()); break;
    default: break;
    }
    // A node joins its parent at once; its name, memo and records follow.
    parent()->node->appendChild(node);
    frame.node = std::move(node);
    return true;
}

bool XMLReader::start()
{
    const QString tag = m_xml.name().toString();
    const auto known = m_tags.constFind(tag);
    if (known == m_tags.constEnd()) {
        qCWarning(lcDocument).noquote() << QStringLiteral("unknown tag : ") << tag;
        m_xml.skipCurrentElement();
        return false;
    }
    m_attributes = m_xml.attributes();
    Frame frame;
    frame.code = *known;
    switch (frame.code) {
    case TopLevel:
        if (!m_stack.empty()) {
            ignore("misplaced");
            return false;
        }
        if (hasAttr(ATTR_VIEWSUMMARY) && m_doc.settings()) m_doc.settings()->setViewerSummary(intAttr(ATTR_VIEWSUMMARY));
        if (hasAttr(ATTR_TEMPLATE)) m_template = true;
        m_sawRoot = true;
        break;
    case GroupList:
    case CurrencyList:
    case BrandList:
        if (!parentIs({TopLevel})) {
            ignore("misplaced");
            return false;
        }
        break;
    case Asset:
    case Debt:
    case AccountSummary:
    case Income:
    case Expense:
    case Transfer:
    case ActualSummary: {
        const auto &a = *m_doc.accountModel();
        const auto &c = *m_doc.actualModel();
        const CVUnitModelPtr roots[] = {a.asset(), a.debt(), a.summary(), c.income(), c.expense(), c.moneyFlow(),
                                        c.summary()};
        frame.node = roots[frame.code - Asset];
        if (!parentIs({TopLevel}) || !frame.node) {
            ignore("misplaced");
            return false;
        }
        break;
    }
    case Currency: {
        if (!parentIs({CurrencyList})) {
            ignore("misplaced");
            return false;
        }
        auto c = std::make_shared<CV4Currency>();
        c->setIdent(intAttr(ATTR_ID));
        c->setFraction(intAttr(ATTR_FRACTION));
        c->setAbbr(stringAttr(ATTR_ABBR));
        c->setPrefix(stringAttr(ATTR_PREFIX));
        c->setRate(decimalAttr(ATTR_RATE));
        m_doc.addCurrency(c);   // keeps the ident unless a listed currency has it
        frame.currency = std::move(c);
        break;
    }
    case Brand: {
        if (!parentIs({BrandList})) {
            ignore("misplaced");
            return false;
        }
        auto b = std::make_shared<CV4Brand>();
        b->setIdent(intAttr(ATTR_ID));
        b->setKind(intAttr(ATTR_KIND));
        b->setCode(intAttr(ATTR_CODE));
        b->setSymbol(stringAttr(ATTR_ABBR));
        b->setCurrency(intAttr(ATTR_CURRENCY));
        b->setMarket(intAttr(ATTR_MARKET));
        b->setRisk(intAttr(ATTR_RISK));
        // Holdings and trades refer to the ident of the file; only one that
        // cannot be told apart gets a new one.
        if (b->ident() <= 0 || m_doc.findBrand(b->ident())) {
            qCWarning(lcDocument) << "xml: security ident" << b->ident() << "taken; given a new one";
            m_doc.addBrand(b);
        } else {
            auto list = m_doc.brandList();
            list.push_back(b);
            m_doc.setBrandList(std::move(list));
        }
        frame.brand = std::move(b);
        break;
    }
    case Grouping: {
        if (!parentIs({GroupList})) {
            ignore("misplaced");
            return false;
        }
        auto g = std::make_shared<CV4Grouping>();
        g->setIdent(intAttr(ATTR_ID));
        if (g->ident() <= 0 || m_doc.findGrouping(g->ident())) {
            qCWarning(lcDocument) << "xml: grouping ident" << g->ident() << "taken; given a new one";
            m_doc.addGrouping(g);
        } else {
            auto list = m_doc.groupList();
            list.push_back(g);
            m_doc.setGroupList(std::move(list));
        }
        frame.grouping = std::move(g);
        break;
    }
    case Price: {
        if (!parentIs({Currency, Brand})) {
            ignore("misplaced");
            return false;
        }
        auto p = std::make_shared<CV4PriceTime>();
        p->setPrice(decimalAttr(ATTR_VALUE));
        p->setDate(dateAttr(ATTR_DATE));
        if (!p->date().isValid()) {
            ignore("no date:");
            return false;
        }
        frame.price = std::move(p);
        break;
    }
    case Trade: {
        auto t = std::make_shared<CV4Trade>();
        t->setKind(intAttr(ATTR_KIND));
        t->setBrand(intAttr(ATTR_BRAND));
        t->setAccount(intAttr(ATTR_ACCOUNT));
        t->setDate(dateAttr(ATTR_DATE));
        t->setTransfer(intAttr(ATTR_TRANSFER));
        t->setCount(decimalAttr(ATTR_COUNT));
        t->setUnitPrice(decimalAttr(ATTR_PRICE));
        t->setCommission(decimalAttr(ATTR_COST));
        if (!t->date().isValid()) {
            ignore("no date:");
            return false;
        }
        frame.trade = std::move(t);
        break;
    }
    case Actual: {
        auto e = std::make_shared<CV4Actual>();
        e->setKind(intAttr(ATTR_KIND));
        e->setCategory(intAttr(ATTR_CATEGORY));
        e->setAccount(intAttr(ATTR_ACCOUNT));
        e->setDate(dateAttr(ATTR_DATE));
        e->setAmount(decimalAttr(ATTR_VALUE));
        e->setConverted(decimalAttr(ATTR_CONVERTED));
        e->setDestination(intAttr(ATTR_TRANSFER));
        e->setGroup(intAttr(ATTR_GROUPING));
        if (!e->date().isValid()) {
            ignore("no date:");
            return false;
        }
        frame.actual = std::move(e);
        break;
    }
    case Repayment: {
        if (!parentIs({LoanNode})) {
            ignore("misplaced");
            return false;
        }
        auto row = std::make_shared<CV4LoanPayment>();
        row->setKind(intAttr(ATTR_KIND));
        row->setAccount(intAttr(ATTR_ACCOUNT));
        row->setDate(dateAttr(ATTR_DATE));
        row->setRate(decimalAttr(ATTR_RATE));
        row->setInterest(decimalAttr(ATTR_INTEREST));
        row->setPrincipal(decimalAttr(ATTR_PRINCIPAL));
        if (!row->date().isValid()) {
            ignore("no date:");
            return false;
        }
        parent()->loanRows.push_back(std::move(row));
        break;
    }
    case Budget: {
        if (!parentIs({Node, LoanNode})) {
            ignore("misplaced");
            return false;
        }
        const auto parts = m_attributes.value(QLatin1String(ATTR_DATE)).split(u'.');
        bool yearOk = false, monthOk = false;
        const int year = parts.size() >= 2 ? parts[0].trimmed().toInt(&yearOk) : 0;
        const int month = parts.size() >= 2 ? parts[1].trimmed().toInt(&monthOk) : 0;
        // Steps before 2000 are written with month 0 or below; keep them, but
        // nothing that would overflow the month key.
        if (!yearOk || !monthOk || std::abs(year) > 100000 || std::abs(month) > 100000) {
            ignore("no date:");
            return false;
        }
        parent()->node->setBudgetAfter(year, month, decimalAttr(ATTR_VALUE));
        break;
    }
    case Reference: {
        const Frame *p = parent();
        auto *summary = p && (p->code == Node || p->code == LoanNode) && p->node
            ? dynamic_cast<CV4Summary *>(p->node->extra().get())
            : nullptr;
        if (!summary) {
            ignore("misplaced");
            return false;
        }
        auto unit = std::make_shared<CV4SummaryUnit>();
        unit->setRefID(intAttr(ATTR_REFID));
        (intAttr(ATTR_KIND) != 0 ? summary->debtList() : summary->assetList()).push_back(std::move(unit));
        break;
    }
    case Title:
        if (!parentIs({Currency, Brand, Grouping, Node, LoanNode})) {
            ignore("misplaced");
            return false;
        }
        break;
    case Note: {
        const Frame *p = parent();
        const cv::KeyedArchivable *extra = p && p->node ? p->node->extra().get() : nullptr;
        const bool fits = p
            && (p->code == Actual || p->code == Trade
                || ((p->code == Node || p->code == LoanNode)
                    && (dynamic_cast<const CV4AssetModel *>(extra) || dynamic_cast<const CV4InvestUnit *>(extra)
                        || dynamic_cast<const CV4Summary *>(extra))));
        if (!fits) {
            ignore("misplaced");
            return false;
        }
        break;
    }
    default:
        if (frame.code > NodeBase && !startNode(frame, frame.code - NodeBase)) return false;
        break;
    }
    m_stack.push_back(std::move(frame));
    return true;
}

void XMLReader::storeLoan(Frame &frame)
{
    if (frame.loanRows.empty() || !frame.node) return;
    if (const auto *loan = dynamic_cast<const CV4LoanModel *>(frame.node->extra().get()))
        loan->recalcPaymentRest(frame.loanRows);
    const QByteArray archive =
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(frame.loanRows));
    stored(m_store.putLoanData(frame.node->ident(), archive));
}

void XMLReader::end()
{
    if (m_stack.empty()) return;
    Frame frame = std::move(m_stack.back());
    m_stack.pop_back();
    Frame *owner = parent();
    switch (frame.code) {
    case Title:
        if (!owner) break;
        if (owner->node)
            owner->node->setName(frame.text);
        else if (owner->currency)
            owner->currency->setName(frame.text);
        else if (owner->brand)
            owner->brand->setName(frame.text);
        else if (owner->grouping)
            owner->grouping->setName(frame.text);
        break;
    case Note:
        if (!owner) break;
        if (owner->actual) {
            owner->actual->setMemo(frame.text);
        } else if (owner->trade) {
            owner->trade->setMemo(frame.text);
        } else if (owner->node) {
            cv::KeyedArchivable *extra = owner->node->extra().get();
            if (auto *asset = dynamic_cast<CV4AssetModel *>(extra))
                asset->setMemo(frame.text);
            else if (auto *unit = dynamic_cast<CV4InvestUnit *>(extra))
                unit->setMemo(frame.text);
            else if (auto *summary = dynamic_cast<CV4Summary *>(extra))
                summary->setMemo(frame.text);
        }
        break;
    case Price:
        if (!owner) break;
        if (owner->code == Currency) {
            frame.price->setBrand(owner->currency->ident());
            stored(m_store.putXchgRate(frame.price));
        } else if (owner->code == Brand) {
            frame.price->setBrand(owner->brand->ident());
            stored(m_store.putPrice(frame.price));
        }
        break;
    case Trade: {
        // A trade belongs to the investment account it lies in; anywhere else
        // it would be stored twice or under the wrong account.
        const auto invest = std::find_if(m_stack.rbegin(), m_stack.rend(), [](const Frame &f) {
            return f.code == Node && f.node && f.node->kind() == cv::NodeKind::Investment;
        });
        if (invest != m_stack.rend() && invest->node->ident() == frame.trade->account())
            stored(m_store.putTrade(frame.trade));
        break;
    }
    case Actual: stored(m_store.putActual(frame.actual)); break;
    case LoanNode: storeLoan(frame); break;
    default: break;
    }
}

} // namespace

// ---------------------------------------------------------------- forms

namespace cv::xml {

QByteArray decimal(double value, int decimals)
{
    if (!std::isfinite(value)) value = 0;
    QByteArray text = QByteArray::number(value, 'f', decimals);
    if (readsBackAs(text, value)) return text;
    text = QByteArray::number(value, 'f', 6);
    if (readsBackAs(text, value)) return text;
    return shortestFixed(value);
}

QByteArray count(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 2147483648.0)
        return QByteArray::number(qint64(value));
    return decimal(value, 6);
}

QByteArray escaped(const QString &text, bool attribute)
{
    QByteArray out;
    out.reserve(text.size() * 3 + 8);
    bool dropped = false;
    const char16_t *p = QStringView(text).utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            c = QChar::surrogateToUcs4(char16_t(c), p[++i]);
        else if (QChar::isSurrogate(c))
            c = 0xFFFF;   // a lone half cannot be encoded
        if (!isXmlChar(c)) {
            dropped = true;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        // A reader turns these into spaces in attributes and a CR into LF in
        // text; as references they read back as they were.
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\r': out += "&#13;"; break;
        default:
            // Encoded here: a conversion per character made long books slow to write.
            if (c < 0x80) {
                out += char(c);
            } else if (c < 0x800) {
                out += char(0xC0 | (c >> 6));
                out += char(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += char(0xE0 | (c >> 12));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            } else {
                out += char(0xF0 | (c >> 18));
                out += char(0x80 | ((c >> 12) & 0x3F));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            }
        }
    }
    if (dropped) qCWarning(lcDocument) << "xml: characters XML cannot carry were left out of" << text.left(40);
    return out;
}

QStringView leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    const qsizetype begin = i;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
        return i > from;
    };
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool any = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        any = digits() || any;
    }
    if (!any) return {};
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        const qsizetype mark = i++;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
        if (!digits()) i = mark;
    }
    return text.mid(begin, i - begin);
}

double parseDecimal(QStringView text)
{
    const QStringView number = leadingNumber(text);
    if (number.isEmpty()) return 0;
    // Both readings round correctly, so they agree on every normal number;
    // the quick one skips the locale machinery, a large part of reading a book.
    // Subnormals and the out of range keep the full reading.
    char ascii[64];
    if (number.size() < qsizetype(sizeof ascii)) {
        qsizetype n = 0;
        for (qsizetype j = number[0] == u'+' ? 1 : 0; j < number.size(); ++j) ascii[n++] = char(number[j].unicode());
        double value = 0;
        const auto [end, ec] = std::from_chars(ascii, ascii + n, value);
        if (ec == std::errc() && end == ascii + n && (std::isnormal(value) || value == 0)) return value;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

bool exportTo(CV4Document &document, QIODevice &device)
{
    return XMLWriter(document, device).run();
}

bool importFrom(CV4Document &document, QIODevice &device, bool *isTemplate)
{
    return XMLReader(document).run(device, isTemplate);
}

} // namespace cv::xml

// ---------------------------------------------------------------- document

bool CV4Document::export_(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDocument) << "xml: cannot write" << path << file.errorString();
        return false;
    }
    if (!cv::xml::exportTo(*this, file)) {
        qCWarning(lcDocument) << "xml: writing" << path << "failed" << file.errorString();
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool CV4Document::import(const QString &path, bool *isTemplate)
{
    if (isTemplate) *isTemplate = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcDocument) << "xml: cannot read" << path << file.errorString();
        return false;
    }
    return cv::xml::importFrom(*this, file, isTemplate);
}
