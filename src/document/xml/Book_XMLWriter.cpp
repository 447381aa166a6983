#include "document/xml/BookXMLInternal.h"

#include "document/Book.h"
#include "document/BookPrivate.h"
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

#include <charconv>
#include <cmath>
#include <limits>

#include <sys/stat.h>

namespace cv {

namespace {

using namespace cv::xml::names;

QByteArray dateStr(const QDate &date)
{
    return QByteArray::number(date.year()) + '.' + QByteArray::number(date.month()) + '.' +
           QByteArray::number(date.day());
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
    XMLWriter(Book &document, QIODevice &device) : m_doc(document), m_device(device) {}

    bool run();

private:
    // One line from its parts, appended straight to the block.
    template <class... Parts> void line(int level, const Parts &...parts);
    void outputStart(const char *tag, int level, const Attributes &attributes = {})
    {
        line(level, '<', tag, attributes.text(), '>');
    }
    void outputEnd(const char *tag, int level) { line(level, "</", tag, '>'); }
    void outputClosed(const char *tag, int level, const Attributes &attributes)
    {
        line(level, '<', tag, attributes.text(), "/>");
    }
    void outputString(const char *tag, const QString &text, int level)
    {
        line(level, '<', tag, '>', cv::xml::escaped(text, false), "</", tag, '>');
    }

    void outputPriceTime(const DatedPrice &price, int level);
    void outputEntry(const ExportEntry &entry, int level);
    void outputTrade(const Trade &trade, int level);
    void outputBudget(const Node &node, int level);
    void outputNode(const Node &node, int level);
    void outputChildren(const Node *node, int level);
    void appendAssetInfo(Attributes &attributes, const AccountDetail *record);
    void nodeAttributes(const Node &node, Attributes &a);

    void flush();

    Book &m_doc;
    QIODevice &m_device;
    std::optional<ExportEntries> m_entries; // every entry, read once, by category
    QByteArray m_buffer;                    // lines not yet written, handed over in large blocks
    bool m_ok = true;
};

constexpr qsizetype kBlock = 1 << 20;

template <class... Parts> void XMLWriter::line(int level, const Parts &...parts)
{
    if (!m_ok) return;
    static const char kSpaces[] = "         "; // the indentation never exceeds nine
    m_buffer.append(kSpaces, std::clamp(level, 0, 9));
    ((m_buffer += parts), ...);
    m_buffer += '\n';
    if (m_buffer.size() >= kBlock) flush();
}

void XMLWriter::flush()
{
    if (m_ok && m_device.write(m_buffer) != m_buffer.size()) m_ok = false;
    m_buffer.clear();
}

bool XMLWriter::run()
{
    m_buffer.reserve(kBlock + 4096);
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

    BookStore &store = *m_doc.store();
    m_entries = store.readExportEntries();
    if (!m_entries) m_ok = false;
    outputStart(TAG_CURRENCY_LIST, 1);
    for (const auto &c : m_doc.currencyList()) {
        if (!c) continue;
        Attributes a;
        a.integer(ATTR_ID, c->ident()).integer(ATTR_FRACTION, c->fraction()).string(ATTR_ABBR, c->abbr());
        a.string(ATTR_PREFIX, c->prefix()).rate(ATTR_RATE, c->rate());
        outputStart(TAG_CURRENCY, 2, a);
        outputString(TAG_TITLE, c->name(), 3);
        if (const auto rates = store.getRateListForCurrency(c->ident())) {
            for (const auto &r : *rates) outputPriceTime(*r, 3);
        } else {
            m_ok = false;
        }
        outputEnd(TAG_CURRENCY, 2);
    }
    outputEnd(TAG_CURRENCY_LIST, 1);

    outputStart(TAG_SECURITY_LIST, 1);
    for (const auto &b : m_doc.securityList()) {
        if (!b) continue;
        Attributes a;
        a.integer(ATTR_ID, b->ident()).integer(ATTR_KIND, cv::raw(b->kind())).integer(ATTR_MARKET, b->market());
        a.integer(ATTR_CURRENCY, b->currency());
        if (b->code() != 0) a.integer(ATTR_CODE, b->code());
        if (!b->symbol().isEmpty()) a.string(ATTR_ABBR, b->symbol());
        if (b->risk() != 0) a.integer(ATTR_RISK, b->risk());
        outputStart(TAG_SECURITY, 2, a);
        outputString(TAG_TITLE, b->name(), 3);
        if (const auto prices = store.getPriceListForSecurity(b->ident())) {
            for (const auto &p : *prices) outputPriceTime(*p, 3);
        } else {
            m_ok = false;
        }
        outputEnd(TAG_SECURITY, 2);
    }
    outputEnd(TAG_SECURITY_LIST, 1);

    const auto &accounts = *m_doc.accountTrees();
    const auto &categories = *m_doc.categoryTrees();
    // clang-format off
    const std::pair<const char *, Node *> sections[] = {
        {TAG_ASSET, accounts.asset().get()},             {TAG_DEBT, accounts.debt().get()},
        {TAG_ACCOUNT_SUMMARY, accounts.summary().get()}, {TAG_TRANSFER, categories.moneyFlow().get()},
        {TAG_INCOME, categories.income().get()},         {TAG_EXPENSE, categories.expense().get()},
        {TAG_CATEGORY_SUMMARY, categories.summary().get()},
    };
    // clang-format on
    for (const auto &[tag, rootNode] : sections) {
        outputStart(tag, 1);
        outputChildren(rootNode, 2);
        outputEnd(tag, 1);
    }
    outputEnd(TAG_TOPLEVEL, 0);
    flush();
    return m_ok;
}

void XMLWriter::outputPriceTime(const DatedPrice &price, int level)
{
    outputClosed(TAG_PRICETIME, level, Attributes().date(ATTR_DATE, price.date()).price(ATTR_VALUE, price.price()));
}

// Entries are most of a book: their lines are made straight into the block.
void XMLWriter::outputEntry(const ExportEntry &entry, int level)
{
    if (!m_ok) return;
    static const char kSpaces[] = "         ";
    const qsizetype indent = std::clamp(level, 0, 9);
    QByteArray &out = m_buffer;
    auto integer = [&out](const char *name, qint64 value) {
        char buf[24];
        out += ' ';
        out += name;
        out += "=\"";
        out.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr - buf);
        out += '"';
    };
    auto amount = [&out](const char *name, double value) {
        out += ' ';
        out += name;
        out += "=\"";
        cv::xml::appendDecimal(out, value, 2);
        out += '"';
    };
    out.append(kSpaces, indent);
    out += '<';
    out += TAG_ENTRY;
    integer(ATTR_KIND, entry.kind);
    integer(ATTR_CATEGORY, entry.category);
    integer(ATTR_ACCOUNT, entry.account);
    out += ' ';
    out += ATTR_DATE;
    out += "=\"";
    cv::xml::appendDayDate(out, entry.day);
    out += '"';
    amount(ATTR_VALUE, entry.amount);
    if (entry.destination != 0) integer(ATTR_TRANSFER, entry.destination);
    if (entry.group != 0) integer(ATTR_GROUPING, entry.group);
    if (entry.converted != 0) amount(ATTR_CONVERTED, entry.converted);
    const qsizetype open = out.size();
    out += ">\n";
    out.append(kSpaces, std::clamp(level + 1, 0, 9));
    out += '<';
    out += TAG_NOTE;
    out += '>';
    if (cv::xml::appendStoredText(out, m_entries->memo(entry))) {
        out += "</";
        out += TAG_NOTE;
        out += ">\n";
        out.append(kSpaces, indent);
        out += "</";
        out += TAG_ENTRY;
        out += ">\n";
    } else {
        out.truncate(open);
        out += "/>\n";
    }
    if (out.size() >= kBlock) flush();
}

void XMLWriter::outputTrade(const Trade &trade, int level)
{
    Attributes a;
    a.integer(ATTR_KIND, cv::raw(trade.kind()))
        .integer(ATTR_SECURITY, trade.security())
        .integer(ATTR_ACCOUNT, trade.account());
    a.date(ATTR_DATE, trade.date());
    if (trade.transfer() != 0) a.integer(ATTR_TRANSFER, trade.transfer());
    if (trade.count() != 0) {
        const SecurityPtr security = m_doc.findSecurity(trade.security());
        a.add(ATTR_COUNT, !security || security->kind() == cv::SecurityKind::Stock
                              ? cv::xml::count(trade.count())
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

void XMLWriter::outputBudget(const Node &node, int level)
{
    const auto *budget = dynamic_cast<const Budget *>(node.extra().get());
    if (!budget) return;
    int year = 0, month = 0;
    double value = 0;
    for (int i = 0; budget->indexedBudgetAt(i, year, month, value); ++i) {
        const QByteArray date = QByteArray::number(year) + '.' + QByteArray::number(month) + ".1";
        outputClosed(TAG_BUDGET, level, Attributes().add(ATTR_DATE, date).amount(ATTR_VALUE, value));
    }
}

void XMLWriter::appendAssetInfo(Attributes &a, const AccountDetail *record)
{
    if (!record) return;
    if (record->initialValue() != 0) a.amount(ATTR_VALUE, record->initialValue());
    if (record->date().isValid()) a.date(ATTR_DATE, record->date());
}

void XMLWriter::nodeAttributes(const Node &node, Attributes &a)
{
    const cv::KeyedArchivable *extra = node.extra().get();
    const auto *asset = dynamic_cast<const AccountDetail *>(extra);
    switch (cv::NodeKind(node.kind())) {
    case cv::NodeKind::Holding:
        if (const auto *unit = dynamic_cast<const OpeningHolding *>(extra)) {
            // A holding without a date has none to write; "0.0.0" would read back as garbage.
            if (unit->date().isValid()) a.date(ATTR_DATE, unit->date());
            a.integer(ATTR_SECURITY, unit->security());
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
        static const BankDetail blank;
        const auto *bank = dynamic_cast<const BankDetail *>(extra);
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
        static const CardDetail blank;
        const auto *card = dynamic_cast<const CardDetail *>(extra);
        appendAssetInfo(a, asset);
        if (!card) card = &blank;
        a.string(ATTR_COMPANY, card->name());
        if (!card->telephone().isEmpty()) a.string(ATTR_TEL, card->telephone());
        a.amount(ATTR_LIMIT, card->limit()).integer(ATTR_CUTOFF, card->cutoffDay()).integer(ATTR_DUE, card->dueDay());
        break;
    }
    case cv::NodeKind::Loan: {
        static const LoanTerms blank;
        const auto *loan = dynamic_cast<const LoanTerms *>(extra);
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
        if (flags & LoanTerms::InterestInArrears) a.flag(ATTR_POSTPAID);
        if (flags & LoanTerms::FirstDueNextMonth) a.flag(ATTR_NEXTMONTH);
        if (flags & LoanTerms::CountFromStartDate) a.flag(ATTR_NEXTDAY);
        if (flags & LoanTerms::NoFirstRowAdjustment) a.flag(ATTR_FRACTION);
        if (!(flags & LoanTerms::HolidayNoMove))
            a.add(ATTR_HOLIDAY, (flags & LoanTerms::HolidayToPrevious) ? "-" : "+");
        break;
    }
    default: break;
    }
}

void XMLWriter::outputNode(const Node &node, int level)
{
    const auto kind = node.kind();
    if (kind == cv::NodeKind::CashPart) return; // the cash part belongs to its investment account
    const char *known = nodeTag(kind);
    const QByteArray tag = known ? QByteArray(known) : "unknown_" + QByteArray::number(cv::raw(kind));

    Attributes a;
    if (node.ident() != 0) a.integer(ATTR_ID, node.ident());
    if (node.currency() != 0) a.integer(ATTR_CURRENCY, node.currency());
    nodeAttributes(node, a);
    outputStart(tag.constData(), level, a);

    if (!node.name().isEmpty()) outputString(TAG_TITLE, node.name(), level + 1);
    QString memo;
    const cv::KeyedArchivable *extra = node.extra().get();
    if (kind == cv::NodeKind::Holding || cv::isAssetAccountKind(kind) || cv::isDebtAccountKind(kind)) {
        if (const auto *asset = dynamic_cast<const AccountDetail *>(extra))
            memo = asset->memo();
        else if (const auto *unit = dynamic_cast<const OpeningHolding *>(extra))
            memo = unit->memo();
    } else if (kind == cv::NodeKind::AccountSummary || kind == cv::NodeKind::CategorySummary) {
        if (const auto *summary = dynamic_cast<const Summary *>(extra)) memo = summary->memo();
    }
    if (!memo.isEmpty()) outputString(TAG_NOTE, memo, level + 1);

    const bool inBudgetTree = m_doc.categoryTrees()->isIncomeOrExpense(&node);
    BookStore &store = *m_doc.store();
    const int child = level + 1;
    if (kind == cv::NodeKind::Category ||
        (kind == cv::NodeKind::SystemItem && node.ident() >= 10 && node.ident() <= 13)) {
        if (inBudgetTree) outputBudget(node, child);
        if (m_entries)
            for (const ExportEntry &e : m_entries->rowsForCategory(node.ident())) outputEntry(e, child);
    } else if (kind == cv::NodeKind::Holding) {
        const auto *unit = dynamic_cast<const OpeningHolding *>(extra);
        if (unit && node.parent()) {
            if (const auto trades = store.findTradeBySourceAccount(node.parent()->ident(), unit->security())) {
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
                r.integer(ATTR_KIND, cv::raw(row->kind())).date(ATTR_DATE, row->date()).rate(ATTR_RATE, row->rate());
                r.integer(ATTR_ACCOUNT, row->account()).amount(ATTR_INTEREST, row->interest());
                r.amount(ATTR_PRINCIPAL, row->principal());
                outputClosed(TAG_REPAYMENT, child, r);
            }
        }
    } else if (kind == cv::NodeKind::AccountSummary || kind == cv::NodeKind::CategorySummary) {
        if (const auto *summary = dynamic_cast<const Summary *>(extra)) {
            for (const auto &unit : summary->addedNodes())
                if (unit) outputClosed(TAG_REFERENCE, child, Attributes().integer(ATTR_REFID, unit->refID()));
            for (const auto &unit : summary->subtractedNodes())
                if (unit)
                    outputClosed(TAG_REFERENCE, child, Attributes().integer(ATTR_REFID, unit->refID()).flag(ATTR_KIND));
        }
    } else {
        if (inBudgetTree) outputBudget(node, child);
        outputChildren(&node, child);
    }
    outputEnd(tag.constData(), level);
}

void XMLWriter::outputChildren(const Node *node, int level)
{
    if (!node) return;
    for (const auto &c : node->children())
        if (c) outputNode(*c, level);
}

} // namespace

namespace xml {

bool exportTo(Book &document, QIODevice &device)
{
    return XMLWriter(document, device).run();
}

} // namespace xml

bool Book::export_(const QString &path, std::optional<unsigned> mode)
{
    QSaveFile file(path);
    const auto failed = [&](const char *what) {
        qCWarning(lcDocument) << "xml:" << what << path << file.errorString();
        m_d->m_failure =
            cv::formatString(cv::localizedString(QStringLiteral("Save-Failed-System")), {file.errorString()});
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return failed("cannot write");
    if (mode) {
        // Never wider than the file replaced, whoever put it there.
        struct stat replaced {};
        const bool replaces = ::stat(QFile::encodeName(path).constData(), &replaced) == 0 && S_ISREG(replaced.st_mode);
        const unsigned kept = replaces ? *mode & unsigned(replaced.st_mode & 0777) : *mode;
        // Set on the temporary the file is replaced with: each octal digit is one of Qt's hex digits.
        const int owner = int(kept >> 6 & 7), group = int(kept >> 3 & 7), other = int(kept & 7);
        if (!file.setPermissions(QFileDevice::Permissions::fromInt(owner << 12 | owner << 8 | group << 4 | other)))
            return failed("cannot set the mode of");
    }
    if (!cv::xml::exportTo(*this, file)) {
        file.cancelWriting();
        return failed("writing failed:");
    }
    return file.commit() || failed("cannot replace");
}

} // namespace cv
