#include "document/xml/BookXMLInternal.h"

#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/xml/XMLEntryLines.h"
#include "document/xml/XMLNames.h"
#include "model/Entry.h"
#include "model/BankDetail.h"
#include "model/Budget.h"
#include "model/CardDetail.h"
#include "model/OpeningHolding.h"
#include "model/LoanTerms.h"
#include "model/DatedPrice.h"
#include "model/Summary.h"
#include "model/Trade.h"
#include "platform/KeyedArchiver.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace cv {

namespace {

using namespace cv::xml::names;

// An ident taken twice at the type's limit leaves none for the second item.
const QString kNoIdentLeft = QStringLiteral("an ident is taken twice and none is left for the second");

// ---------------------------------------------------------------- reader

// Codes of the items the reader keeps open.
enum Code {
    Neutral = 0,
    TopLevel = 1,
    GroupList = 2,
    CurrencyList = 3,
    SecurityListTag = 4,
    Asset = 5,
    Debt = 6,
    AccountSummary = 7,
    Income = 8,
    Expense = 9,
    Transfer = 10,
    CategorySummaryTag = 11,
    Reference = 12,
    NodeTag = 13,
    CurrencyTag = 15,
    SecurityTag = 16,
    GroupingTag = 17,
    Price = 18,
    TradeTag = 19,
    EntryTag = 20,
    Repayment = 21,
    LoanNode = 22,
    BudgetTag = 23,
    Title = 24,
    Note = 25,
    NodeBase = 1000,
};

// One open element and what it builds.
struct Frame {
    int code = Neutral;
    NodePtr node; // tree sections and nodes
    CurrencyPtr currency;
    SecurityPtr security;
    GroupingPtr grouping;
    DatedPricePtr price;
    TradePtr trade;
    EntryPtr entry;
    LoanSchedule loanRows; // rows of a loan node
    QString text;          // title and note
};

// Where each element may stand: the codes its parent may have. An element
// without a row may stand anywhere; every tree node shares the NodeBase row.
struct Placement {
    int code;
    std::initializer_list<int> parents; // empty: only as the outermost element
};
const Placement kPlacements[] = {
    {TopLevel, {}},
    {GroupList, {TopLevel}},
    {CurrencyList, {TopLevel}},
    {SecurityListTag, {TopLevel}},
    {Asset, {TopLevel}},
    {Debt, {TopLevel}},
    {AccountSummary, {TopLevel}},
    {Income, {TopLevel}},
    {Expense, {TopLevel}},
    {Transfer, {TopLevel}},
    {CategorySummaryTag, {TopLevel}},
    {CurrencyTag, {CurrencyList}},
    {SecurityTag, {SecurityListTag}},
    {GroupingTag, {GroupList}},
    {Price, {CurrencyTag, SecurityTag}},
    {Repayment, {LoanNode}},
    {BudgetTag, {NodeTag, LoanNode}},
    {Reference, {NodeTag, LoanNode}},
    {Title, {CurrencyTag, SecurityTag, GroupingTag, NodeTag, LoanNode}},
    {Note, {EntryTag, TradeTag, NodeTag, LoanNode}},
    {NodeBase, {Asset, Debt, AccountSummary, Income, Expense, Transfer, CategorySummaryTag, NodeTag, LoanNode}},
};

// Nesting no real file approaches; it keeps hostile files from exhausting
// the stack in the recursive tree walks that follow an import.
constexpr int kMaxDepth = 2048;

class XMLReader : private QXmlStreamEntityResolver {
public:
    explicit XMLReader(Book &document) : m_doc(document), m_store(*document.store())
    {
        // clang-format off
        static const std::pair<const char *, int> tags[] = {
            {TAG_TOPLEVEL, TopLevel},              {TAG_GROUPING_LIST, GroupList},      {TAG_CURRENCY_LIST, CurrencyList},
            {TAG_SECURITY_LIST, SecurityListTag},           {TAG_ASSET, Asset},                  {TAG_DEBT, Debt},
            {TAG_ACCOUNT_SUMMARY, AccountSummary}, {TAG_INCOME, Income},                {TAG_EXPENSE, Expense},
            {TAG_TRANSFER, Transfer},              {TAG_CATEGORY_SUMMARY, CategorySummaryTag}, {TAG_REFERENCE, Reference},
            {TAG_CURRENCY, CurrencyTag},           {TAG_SECURITY, SecurityTag},                  {TAG_GROUPING, GroupingTag},
            {TAG_PRICETIME, Price},                {TAG_TRADE, TradeTag},               {TAG_ENTRY, EntryTag},
            {TAG_REPAYMENT, Repayment},            {TAG_BUDGET, BudgetTag},             {TAG_TITLE, Title},
            {TAG_NOTE, Note},
        };
        // clang-format on
        for (const auto &[tag, code] : tags) m_tags.insert(QLatin1String(tag), code);
        for (const auto &t : kNodeTags) m_tags.insert(QLatin1String(t.tag), NodeBase + cv::raw(t.kind));
    }

    // False with the user's words in `why` when the file is refused.
    bool run(QIODevice &device, bool *isTemplate, QString *why);

private:
    // Undeclared entities stand for their own name.
    QString resolveUndeclaredEntity(const QString &name) override { return name; }
    QString resolveEntity(const QString &, const QString &) override { return QString(); }

    void readLines(QIODevice &device);
    void readTokens();
    bool takesEntryLines() const;
    void storeEntry(const cv::xml::EntryLine &line);
    bool start();
    std::optional<int> tagCode();
    bool attributeNamesValid();
    // Each answers false (logged) for an element it refuses.
    void startTopLevel();
    bool startSection(Frame &frame);
    void startCurrency(Frame &frame);
    void startSecurity(Frame &frame);
    void startGrouping(Frame &frame);
    bool startPrice(Frame &frame);
    bool startTrade(Frame &frame);
    bool startEntry(Frame &frame);
    bool startRepayment();
    bool startBudget();
    bool startReference();
    bool startNote();
    void end();
    Frame *parent() { return m_stack.empty() ? nullptr : &m_stack.back(); }
    bool placedRight(int code);
    void ignore(const char *why);
    void stored(bool ok);

    int intAttr(const char *name) const;
    double decimalAttr(const char *name) const;
    QString stringAttr(const char *name) const;
    bool hasAttr(const char *name) const { return m_attributes.hasAttribute(QLatin1String(name)); }
    QDate dateAttr(const char *name) const;
    void restoreAssetInfo(AccountDetail &record) const;
    bool startNode(Frame &frame, int kind);
    void storeLoan(Frame &frame);

    Book &m_doc;
    BookStore &m_store;
    QXmlStreamReader m_xml;
    QXmlStreamAttributes m_attributes;
    QHash<QString, int> m_tags;
    std::array<std::pair<QString, int>, 2> m_recentTags; // the last two known tags and their codes
    std::vector<Frame> m_stack;
    std::vector<NodePtr> m_withoutCurrency;
    int m_skipped = 0; // open elements inside one being skipped
    bool m_template = false;
    bool m_sawRoot = false;
    bool m_storeFailed = false;
    bool m_scheduleRefused = false;
    QString m_refusedLoan; // the loan whose schedule refused the file
};

void XMLReader::ignore(const char *why)
{
    qCWarning(lcDocument).noquote() << "xml: " << why << " <" << m_xml.name().toString() << "> at line"
                                    << m_xml.lineNumber() << "ignored";
    m_skipped = 1;
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

void XMLReader::restoreAssetInfo(AccountDetail &record) const
{
    record.setInitialValue(decimalAttr(ATTR_VALUE));
    if (hasAttr(ATTR_DATE)) {
        const QDate date = dateAttr(ATTR_DATE);
        if (!date.isValid())
            qCWarning(lcDocument) << "xml: account start date unreadable at line" << m_xml.lineNumber();
        record.setDate(date);
    }
}

// The general reader gets the file in pieces, except the entries in the
// writer's own form, which are read here; each stands in its stream as the
// line ends it had, so the reader's line numbers stay true. A piece ends
// only inside the outermost element: a reader fed in pieces takes the end of
// a piece after it for the end of the file.
void XMLReader::readLines(QIODevice &device)
{
    constexpr qint64 kBlock = 1 << 20;
    QByteArray data;
    qsizetype at = 0; // the first byte not yet handed on
    bool atEnd = false;
    const auto readMore = [&] {
        data.remove(0, at);
        at = 0;
        const QByteArray block = device.read(kBlock);
        if (block.isEmpty()) atEnd = true;
        data += block;
    };
    QByteArray pending; // for the general reader, in file order
    bool pendingMarkup = false;
    const auto handOn = [&] {
        if (!pending.isEmpty()) m_xml.addData(pending);
        pending.clear();
        pendingMarkup = false;
        readTokens();
    };
    const auto failed = [&] {
        return m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError;
    };
    cv::xml::MarkupState markup;
    std::optional<bool> entryLines; // decided by the first bytes
    cv::xml::EntryLine entry;
    qsizetype searched = 0; // bytes from `at` on known to hold no line end
    while (!failed()) {
        const qsizetype lineEnd = data.indexOf('\n', at + searched);
        if (lineEnd < 0 && !atEnd) {
            searched = data.size() - at;
            readMore();
            continue;
        }
        searched = 0;
        if (at >= data.size()) break;
        if (!entryLines) entryLines = cv::xml::isUtf8Declared(QByteArrayView(data).sliced(at));
        if (*entryLines && markup.insideElement()) {
            const cv::xml::EntryScan scan = cv::xml::scanEntryLines(QByteArrayView(data).sliced(at), entry);
            // An entry longer than a block is left to the general reader, so a
            // huge note is not searched again for every block.
            if (scan == cv::xml::EntryScan::Incomplete && !atEnd && data.size() - at < kBlock) {
                readMore();
                continue;
            }
            if (scan == cv::xml::EntryScan::Entry) {
                if (pendingMarkup) handOn();
                if (takesEntryLines()) {
                    storeEntry(entry);
                    pending.append(entry.lines, '\n');
                    at += entry.length;
                    continue;
                }
            }
        }
        const qsizetype next = lineEnd < 0 ? data.size() : lineEnd + 1;
        const QByteArrayView line(data.constData() + at, next - at);
        markup.advance(line);
        pending.append(line);
        pendingMarkup = true;
        at = next;
        if (pending.size() >= kBlock && markup.insideElement()) handOn();
    }
    if (!failed()) handOn();
}

// Where the reader stands, an entry would be read as an entry: inside an
// element that keeps no text, nothing skipped, no error.
bool XMLReader::takesEntryLines() const
{
    if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) return false;
    if (m_skipped > 0 || m_stack.empty() || m_stack.size() + 2 > size_t(kMaxDepth)) return false;
    const int code = m_stack.back().code;
    return code != Title && code != Note;
}

// What start() and end() make of the entry and its note.
void XMLReader::storeEntry(const cv::xml::EntryLine &line)
{
    stored(m_store.putEntry(std::make_shared<Entry>(line.entry)));
}

void XMLReader::readTokens()
{
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (m_skipped > 0) {
            if (token == QXmlStreamReader::StartElement)
                ++m_skipped;
            else if (token == QXmlStreamReader::EndElement)
                --m_skipped;
            continue;
        }
        switch (token) {
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
}

bool XMLReader::run(QIODevice &device, bool *isTemplate, QString *why)
{
    m_xml.setEntityResolver(this);
    m_stack.reserve(64);
    if (!m_store.beginTransaction()) stored(false);
    readLines(device);
    const bool wellFormed = !m_xml.hasError();
    if (!wellFormed)
        qCWarning(lcDocument).noquote() << "xml: " << m_xml.errorString() << " at line" << m_xml.lineNumber();
    // What was read before an error stays, as the records already stored do.
    while (!m_stack.empty()) {
        if (m_stack.back().code == LoanNode && wellFormed) storeLoan(m_stack.back());
        m_stack.pop_back();
    }
    if (!m_store.commitTransaction()) stored(false);
    if (const CurrencyPtr def = m_doc.defaultCurrency()) {
        for (const auto &node : m_withoutCurrency)
            if (node->currency() == 0) node->setCurrency(def->ident());
    }
    m_doc.clearLookups();
    if (isTemplate) *isTemplate = m_template;
    // Another program's XML would otherwise open as an empty book under its name.
    if (wellFormed && !m_sawRoot) qCWarning(lcDocument) << "xml: the file holds no" << TAG_TOPLEVEL << "element";
    const bool ok = wellFormed && m_sawRoot && !m_storeFailed && !m_scheduleRefused;
    if (!ok && why) {
        if (!m_refusedLoan.isNull())
            *why = cv::formatString(cv::localizedString(QStringLiteral("Open-Loan-Out-Of-Range")), {m_refusedLoan});
        else if (!wellFormed || !m_sawRoot)
            *why = cv::formatString(cv::localizedString(QStringLiteral("Open-XML-Unreadable")),
                                    {qlonglong(m_xml.lineNumber())});
        else
            *why = cv::localizedString(QStringLiteral("Open-Store-Failed"));
    }
    return ok;
}

bool XMLReader::startNode(Frame &frame, int kind)
{
    auto node = std::make_shared<Node>();
    node->setKind(cv::NodeKind(kind));
    node->setIdent(intAttr(ATTR_ID));
    int currency = intAttr(ATTR_CURRENCY);
    if (currency == 0) {
        if (const CurrencyPtr def = m_doc.defaultCurrency())
            currency = def->ident();
        else
            m_withoutCurrency.push_back(node);
    }
    node->setCurrency(currency);
    frame.code = NodeTag;
    switch (cv::NodeKind(kind)) {
    case cv::NodeKind::Holding: {
        auto unit = std::make_shared<OpeningHolding>();
        if (hasAttr(ATTR_DATE)) {
            unit->setDate(dateAttr(ATTR_DATE));
            if (!unit->date().isValid())
                qCWarning(lcDocument) << "xml: holding date unreadable at line" << m_xml.lineNumber();
        }
        unit->setSecurity(intAttr(ATTR_SECURITY));
        unit->setUnits(decimalAttr(ATTR_COUNT));
        if (unit->units() > 0) {
            unit->setUnitPrice(decimalAttr(ATTR_PRICE));
            unit->setCommission(decimalAttr(ATTR_COST));
        }
        node->setExtra(unit);
        break;
    }
    case cv::NodeKind::Loan: {
        auto loan = std::make_shared<LoanTerms>();
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
        if (intAttr(ATTR_POSTPAID)) flags |= LoanTerms::InterestInArrears;
        if (intAttr(ATTR_NEXTMONTH)) flags |= LoanTerms::FirstDueNextMonth;
        if (intAttr(ATTR_NEXTDAY)) flags |= LoanTerms::CountFromStartDate;
        if (intAttr(ATTR_FRACTION)) flags |= LoanTerms::NoFirstRowAdjustment;
        if (!hasAttr(ATTR_HOLIDAY))
            flags |= LoanTerms::HolidayNoMove;
        else if (stringAttr(ATTR_HOLIDAY) == u"-")
            flags |= LoanTerms::HolidayToPrevious;
        loan->setRepaymentFlags(flags);
        node->setExtra(loan);
        frame.code = LoanNode;
        break;
    }
    case cv::NodeKind::Investment: {
        auto record = std::make_shared<AccountDetail>();
        restoreAssetInfo(*record);
        node->setExtra(record);
        auto cash = std::make_shared<Node>();
        cash->setKind(cv::NodeKind::CashPart);
        cash->setIdent(0);
        cash->setCurrency(currency);
        if (currency == 0) m_withoutCurrency.push_back(cash);
        node->appendChild(cash);
        break;
    }
    case cv::NodeKind::Cash:
    case cv::NodeKind::GeneralAsset:
    case cv::NodeKind::GeneralDebt: {
        auto record = std::make_shared<AccountDetail>();
        restoreAssetInfo(*record);
        node->setExtra(record);
        break;
    }
    case cv::NodeKind::Bank: {
        auto bank = std::make_shared<BankDetail>();
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
        auto card = std::make_shared<CardDetail>();
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
    case cv::NodeKind::CategorySummary: node->setExtra(std::make_shared<Summary>()); break;
    default: break;
    }
    // A node joins its parent at once; its name, memo and records follow.
    parent()->node->appendChild(node);
    frame.node = std::move(node);
    return true;
}

bool XMLReader::placedRight(int code)
{
    if (code > NodeBase) code = NodeBase;
    for (const Placement &p : kPlacements) {
        if (p.code != code) continue;
        if (p.parents.size() == 0) return m_stack.empty();
        const Frame *open = parent();
        return open && std::find(p.parents.begin(), p.parents.end(), open->code) != p.parents.end();
    }
    return true;
}

// The code of the element's tag; none (logged, the element skipped) for a tag
// the form does not have.
std::optional<int> XMLReader::tagCode()
{
    // Records come in long runs of one or two tags (an entry and its note):
    // the name is looked up only when it is neither of the last two.
    const QStringView name = m_xml.name();
    auto recent =
        std::find_if(m_recentTags.begin(), m_recentTags.end(), [&](const auto &t) { return t.first == name; });
    if (recent == m_recentTags.end()) {
        const QString tag = name.toString();
        const auto known = m_tags.constFind(tag);
        if (known == m_tags.constEnd()) {
            qCWarning(lcDocument).noquote() << QStringLiteral("unknown tag : ") << tag;
            m_skipped = 1;
            return std::nullopt;
        }
        m_recentTags[1] = std::move(m_recentTags[0]);
        m_recentTags[0] = {tag, *known};
        recent = m_recentTags.begin();
    }
    return recent->second;
}

bool XMLReader::attributeNamesValid()
{
    for (const QXmlStreamAttribute &a : std::as_const(m_attributes)) {
        const QStringView name = a.qualifiedName();
        if (!xml::isPlainName(name) && !xml::isXmlName(name)) {
            m_xml.raiseError(QStringLiteral("malformed attribute name"));
            return false;
        }
    }
    return true;
}

bool XMLReader::start()
{
    const std::optional<int> code = tagCode();
    if (!code) return false;
    m_attributes = m_xml.attributes();
    if (!attributeNamesValid()) return false;
    Frame frame;
    frame.code = *code;
    if (!placedRight(frame.code)) {
        ignore("misplaced");
        return false;
    }
    bool taken = true;
    switch (frame.code) {
    case TopLevel: startTopLevel(); break;
    case GroupList:
    case CurrencyList:
    case SecurityListTag:
    case Title: break;
    case Asset:
    case Debt:
    case AccountSummary:
    case Income:
    case Expense:
    case Transfer:
    case CategorySummaryTag: taken = startSection(frame); break;
    case CurrencyTag: startCurrency(frame); break;
    case SecurityTag: startSecurity(frame); break;
    case GroupingTag: startGrouping(frame); break;
    case Price: taken = startPrice(frame); break;
    case TradeTag: taken = startTrade(frame); break;
    case EntryTag: taken = startEntry(frame); break;
    case Repayment: taken = startRepayment(); break;
    case BudgetTag: taken = startBudget(); break;
    case Reference: taken = startReference(); break;
    case Note: taken = startNote(); break;
    default: taken = frame.code <= NodeBase || startNode(frame, frame.code - NodeBase); break;
    }
    if (!taken) return false;
    m_stack.push_back(std::move(frame));
    return true;
}

void XMLReader::startTopLevel()
{
    if (hasAttr(ATTR_VIEWSUMMARY) && m_doc.settings()) m_doc.settings()->setViewerSummary(intAttr(ATTR_VIEWSUMMARY));
    if (hasAttr(ATTR_TEMPLATE)) m_template = true;
    m_sawRoot = true;
}

// One of the trees' roots: its nodes join the document's own root.
bool XMLReader::startSection(Frame &frame)
{
    const auto &a = *m_doc.accountTrees();
    const auto &c = *m_doc.categoryTrees();
    const NodePtr roots[] = {a.asset(), a.debt(), a.summary(), c.income(), c.expense(), c.moneyFlow(), c.summary()};
    frame.node = roots[frame.code - Asset];
    if (!frame.node) {
        ignore("misplaced");
        return false;
    }
    return true;
}

void XMLReader::startCurrency(Frame &frame)
{
    auto c = std::make_shared<Currency>();
    c->setIdent(intAttr(ATTR_ID));
    c->setFraction(intAttr(ATTR_FRACTION));
    c->setAbbr(stringAttr(ATTR_ABBR));
    c->setPrefix(stringAttr(ATTR_PREFIX));
    if (const double rate = decimalAttr(ATTR_RATE); std::abs(rate) <= cv::kMaxPriceOrRate)
        c->setRate(rate);
    else
        qCWarning(lcDocument) << "xml: currency rate above 10^12 at line" << m_xml.lineNumber() << "not taken";
    // Keeps the ident unless a listed currency has it.
    if (!m_doc.addCurrency(c)) m_xml.raiseError(kNoIdentLeft);
    frame.currency = std::move(c);
}

void XMLReader::startSecurity(Frame &frame)
{
    auto b = std::make_shared<Security>();
    b->setIdent(intAttr(ATTR_ID));
    b->setKind(cv::SecurityKind(intAttr(ATTR_KIND)));
    b->setCode(intAttr(ATTR_CODE));
    b->setSymbol(stringAttr(ATTR_ABBR));
    b->setCurrency(intAttr(ATTR_CURRENCY));
    b->setMarket(intAttr(ATTR_MARKET));
    b->setRisk(intAttr(ATTR_RISK));
    // Holdings and trades refer to the ident of the file; only one that
    // cannot be told apart gets a new one.
    if (b->ident() <= 0 || m_doc.findSecurity(b->ident())) {
        qCWarning(lcDocument) << "xml: security ident" << b->ident() << "taken; given a new one";
        if (!m_doc.addSecurity(b)) m_xml.raiseError(kNoIdentLeft);
    } else {
        auto list = m_doc.securityList();
        list.push_back(b);
        m_doc.setSecurityList(std::move(list));
    }
    frame.security = std::move(b);
}

void XMLReader::startGrouping(Frame &frame)
{
    auto g = std::make_shared<Grouping>();
    g->setIdent(intAttr(ATTR_ID));
    if (g->ident() <= 0 || m_doc.findGrouping(g->ident())) {
        qCWarning(lcDocument) << "xml: grouping ident" << g->ident() << "taken; given a new one";
        if (!m_doc.addGrouping(g)) m_xml.raiseError(kNoIdentLeft);
    } else {
        auto list = m_doc.groupList();
        list.push_back(g);
        m_doc.setGroupList(std::move(list));
    }
    frame.grouping = std::move(g);
}

bool XMLReader::startPrice(Frame &frame)
{
    auto p = std::make_shared<DatedPrice>();
    p->setPrice(decimalAttr(ATTR_VALUE));
    p->setDate(dateAttr(ATTR_DATE));
    if (!p->date().isValid()) {
        ignore("no date:");
        return false;
    }
    if (!(std::abs(p->price()) <= cv::kMaxPriceOrRate)) {
        ignore("price or rate above 10^12:");
        return false;
    }
    frame.price = std::move(p);
    return true;
}

bool XMLReader::startTrade(Frame &frame)
{
    auto t = std::make_shared<Trade>();
    t->setKind(cv::TradeKind(intAttr(ATTR_KIND)));
    t->setSecurity(intAttr(ATTR_SECURITY));
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
    return true;
}

bool XMLReader::startEntry(Frame &frame)
{
    for (const QXmlStreamAttribute &a : std::as_const(m_attributes)) {
        if (!xml::isEntryAttribute(a.qualifiedName()))
            qCWarning(lcDocument).noquote() << "xml: unknown attribute" << a.qualifiedName().toString()
                                            << "of an entry at line" << m_xml.lineNumber();
    }
    auto e = std::make_shared<Entry>();
    e->setKind(cv::EntryKind(intAttr(ATTR_KIND)));
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
    frame.entry = std::move(e);
    return true;
}

// A row of the loan node it stands in, stored with the node's end.
bool XMLReader::startRepayment()
{
    auto row = std::make_shared<LoanPayment>();
    row->setKind(cv::LoanPaymentKind(intAttr(ATTR_KIND)));
    row->setAccount(intAttr(ATTR_ACCOUNT));
    row->setDate(dateAttr(ATTR_DATE));
    row->setRate(decimalAttr(ATTR_RATE));
    row->setInterest(decimalAttr(ATTR_INTEREST));
    row->setPrincipal(decimalAttr(ATTR_PRINCIPAL));
    if (!row->date().isValid()) {
        ignore("no date:");
        return false;
    }
    // The open refuses a book holding such a row: the file is refused here,
    // as a schedule missing a row would be wrong.
    if (row->hasImpossibleAmounts()) {
        m_refusedLoan = parent()->node ? parent()->node->name() : QString();
        m_xml.raiseError(QStringLiteral("a repayment's figures are out of range"));
        return false;
    }
    parent()->loanRows.push_back(std::move(row));
    return true;
}

bool XMLReader::startBudget()
{
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
    return true;
}

bool XMLReader::startReference()
{
    const Frame *p = parent();
    auto *summary = p->node ? dynamic_cast<Summary *>(p->node->extra().get()) : nullptr;
    if (!summary) {
        ignore("misplaced");
        return false;
    }
    auto unit = std::make_shared<SummaryMember>();
    unit->setRefID(intAttr(ATTR_REFID));
    (intAttr(ATTR_KIND) != 0 ? summary->subtractedNodes() : summary->addedNodes()).push_back(std::move(unit));
    return true;
}

bool XMLReader::startNote()
{
    const Frame *p = parent();
    const cv::KeyedArchivable *extra = p->node ? p->node->extra().get() : nullptr;
    // On a node, only a record that keeps a memo takes a note.
    const bool fits = p->code == EntryTag || p->code == TradeTag || dynamic_cast<const AccountDetail *>(extra) ||
                      dynamic_cast<const OpeningHolding *>(extra) || dynamic_cast<const Summary *>(extra);
    if (!fits) ignore("misplaced");
    return fits;
}

void XMLReader::storeLoan(Frame &frame)
{
    // A loan without repayment rows still gets its empty schedule: moving its
    // account or category rewrites the loan's entries from it.
    if (!frame.node) return;
    const auto *loan = dynamic_cast<const LoanTerms *>(frame.node->extra().get());
    if (loan && !frame.loanRows.empty()) loan->recalcPaymentRest(frame.loanRows);
    for (size_t i = 0; i < frame.loanRows.size(); ++i) {
        if (!frame.loanRows[i]->hasImpossibleAmounts()) continue;
        qCWarning(lcDocument) << "xml: loan" << frame.node->ident() << "repayment" << i + 1
                              << "leaves a balance out of range";
        m_scheduleRefused = true;
        m_refusedLoan = frame.node->name();
        return;
    }
    const QByteArray archive = cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue::arrayOf(frame.loanRows));
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
        else if (owner->security)
            owner->security->setName(frame.text);
        else if (owner->grouping)
            owner->grouping->setName(frame.text);
        break;
    case Note:
        if (!owner) break;
        if (owner->entry) {
            owner->entry->setMemo(frame.text);
        } else if (owner->trade) {
            owner->trade->setMemo(frame.text);
        } else if (owner->node) {
            cv::KeyedArchivable *extra = owner->node->extra().get();
            if (auto *asset = dynamic_cast<AccountDetail *>(extra))
                asset->setMemo(frame.text);
            else if (auto *unit = dynamic_cast<OpeningHolding *>(extra))
                unit->setMemo(frame.text);
            else if (auto *summary = dynamic_cast<Summary *>(extra))
                summary->setMemo(frame.text);
        }
        break;
    case Price:
        if (!owner) break;
        if (owner->code == CurrencyTag) {
            frame.price->setSecurity(owner->currency->ident());
            stored(m_store.putExchangeRate(frame.price));
        } else if (owner->code == SecurityTag) {
            frame.price->setSecurity(owner->security->ident());
            stored(m_store.putPrice(frame.price));
        }
        break;
    case TradeTag: {
        // A trade belongs to the investment account it lies in; anywhere else
        // it would be stored twice or under the wrong account.
        const auto invest = std::find_if(m_stack.rbegin(), m_stack.rend(), [](const Frame &f) {
            return f.code == NodeTag && f.node && f.node->kind() == cv::NodeKind::Investment;
        });
        if (invest != m_stack.rend() && invest->node->ident() == frame.trade->account())
            stored(m_store.putTrade(frame.trade));
        break;
    }
    case EntryTag: stored(m_store.putEntry(frame.entry)); break;
    case LoanNode: storeLoan(frame); break;
    default: break;
    }
}

} // namespace

namespace xml {

bool importFrom(Book &document, QIODevice &device, bool *isTemplate, QString *why)
{
    return XMLReader(document).run(device, isTemplate, why);
}

} // namespace xml

bool Book::import(const QString &path, bool *isTemplate, QString *why)
{
    if (isTemplate) *isTemplate = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcDocument) << "xml: cannot read" << path << file.errorString();
        if (why) *why = cv::formatString(cv::localizedString(QStringLiteral("Open-Unreadable")), {file.errorString()});
        return false;
    }
    return cv::xml::importFrom(*this, file, isTemplate, why);
}

} // namespace cv
