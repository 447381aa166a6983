// The whole-document XML form: exact layout, escaping and number forms of the
// writer; the reader's placement rules; lossless round trips; hostile files;
// and the shipped templates.

#include "document/BookTestSupport.h"
#include "document/LifecycleTestSupport.h"

#include "document/xml/BookXML.h"
#include "platform/DateIntegers.h"
#include "model/BankDetail.h"
#include "model/Budget.h"
#include "model/CardDetail.h"
#include "model/LoanTerms.h"
#include "model/Summary.h"
#include "support/SampleBook.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringDecoder>

#include <tuple>

namespace {

class XMLTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        ASSERT_TRUE(other.isValid());
    }

    QByteArray exported(cv::Book &d)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(cv::xml::exportTo(d, buffer));
        return buffer.data();
    }
    QByteArray exported() { return exported(*doc); }

    // A document as opening a file makes it: fresh roots, empty lists and store.
    std::unique_ptr<cv::Book> blankDocument()
    {
        auto d = std::make_unique<cv::Book>();
        EXPECT_TRUE(d->store()->create());
        return d;
    }

    static bool importText(cv::Book &d, const QByteArray &text, bool *isTemplate = nullptr)
    {
        QBuffer buffer;
        buffer.setData(text);
        buffer.open(QIODevice::ReadOnly);
        return cv::xml::importFrom(d, buffer, isTemplate);
    }

    static QByteArray wrap(const QByteArray &body)
    {
        return "<?xml version=\"1.0\"?>\n<cvxf version=\"1.0\" date=\"2008.3.5\">\n" + body + "\n</cvxf>\n";
    }

    static QList<QByteArray> linesWith(const QByteArray &text, const QByteArray &part)
    {
        QList<QByteArray> out;
        for (const QByteArray &line : text.split('\n'))
            if (line.contains(part)) out.push_back(line.trimmed());
        return out;
    }

    cv::NodePtr bank(int ident, const QString &name, const QString &company)
    {
        auto node = std::make_shared<cv::Node>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind::Bank);
        node->setCurrency(1);
        node->setName(name);
        auto record = std::make_shared<cv::BankDetail>();
        record->setName(company);
        node->setExtra(record);
        doc->accountTrees()->asset()->appendChild(node);
        return node;
    }

    cv::NodePtr loanWithFlags(int ident, int flags)
    {
        auto node = std::make_shared<cv::Node>();
        node->setIdent(ident);
        node->setKind(cv::NodeKind::Loan);
        node->setCurrency(1);
        auto record = std::make_shared<cv::LoanTerms>();
        record->setRepaymentFlags(flags);
        node->setExtra(record);
        doc->accountTrees()->debt()->appendChild(node);
        return node;
    }

    QTemporaryDir other;
};

using EntryKey = std::tuple<int, int, int, int, int, int, double, double, QString, QDate>;
using TradeKey = std::tuple<int, int, int, int, double, double, double, QString, QDate>;

cv::BookStore::EntryList allEntries(cv::Book &d)
{
    cv::SearchConditions all;
    all.date = {QDate(1900, 1, 1), QDate(2999, 1, 1)};
    return *d.store()->findEntry(all);
}

std::multiset<EntryKey> entrySet(cv::Book &d)
{
    std::multiset<EntryKey> out;
    for (const auto &e : allEntries(d))
        out.insert({cv::raw(e->kind()), e->category(), e->account(), e->destination(), e->group(), 0, e->amount(),
                    e->converted(), e->memo(), e->date()});
    return out;
}

std::multiset<TradeKey> tradeSet(cv::Book &d)
{
    std::multiset<TradeKey> out;
    const auto trades = d.store()->findTradeFrom(QDate(), QDate(), -1, -1, 0);
    for (const auto &t : *trades)
        out.insert({cv::raw(t->kind()), t->security(), t->account(), t->transfer(), t->count(), t->unitPrice(),
                    t->commission(), t->memo(), t->date()});
    return out;
}

std::vector<std::tuple<int, QDate, double, double, double, int, double>> scheduleOf(cv::Book &d, int loan)
{
    std::vector<std::tuple<int, QDate, double, double, double, int, double>> out;
    if (const auto rows = d.getLoan(loan))
        for (const auto &r : *rows)
            out.push_back(
                {cv::raw(r->kind()), r->date(), r->rate(), r->interest(), r->principal(), r->account(), r->rest()});
    return out;
}

} // namespace

// ---------------------------------------------------------------- writer

TEST_F(XMLTest, LayoutOfADocumentWithoutGroupingsOrSecurities)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    // Twelve nested folders: the deepest lines sit at level 13.
    cv::NodePtr parent = doc->categoryTrees()->expense();
    for (int i = 0; i < 12; ++i) parent = addCategory(parent, 2000 + i, 20);
    addCategory(parent, 3000);

    const QByteArray text = exported();
    ASSERT_TRUE(text.endsWith("</cvxf>\n"));
    const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
    const QDate today = QDate::currentDate();
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\"?>");
    EXPECT_EQ(lines[1], QStringLiteral("<cvxf version=\"1.0\" date=\"%1.%2.%3\" summary=\"1\">")
                            .arg(today.year())
                            .arg(today.month())
                            .arg(today.day())
                            .toUtf8());
    // Sections, lists and line ends are the shipped templates' (their own test);
    // here, the nesting past what they reach.
    int deepest = 0;
    for (const QByteArray &line : lines) {
        int spaces = 0;
        while (spaces < line.size() && line[spaces] == ' ') ++spaces;
        EXPECT_LE(spaces, 9) << line.constData();
        deepest = std::max(deepest, spaces);
    }
    EXPECT_EQ(deepest, 9);
    EXPECT_TRUE(text.contains("\n         <node_actual id=\"3000\">\n         <title>C3000</title>\n"));

    // Checked by an independent parser where one is installed.
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (!xmllint.isEmpty()) {
        const QString path = other.filePath(QStringLiteral("book.cvxf"));
        ASSERT_TRUE(doc->export_(path));
        QProcess lint;
        lint.start(xmllint, {QStringLiteral("--noout"), path});
        ASSERT_TRUE(lint.waitForFinished());
        EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().constData();
    }
}

TEST_F(XMLTest, EscapingAndNumberForms)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    addCurrency(2, QStringLiteral("USD"), 0.00912345, 2);
    ASSERT_TRUE(samplebook::putRate(*doc, 1, day(2008, 3, 5), 102.5));
    bank(1000, QStringLiteral("R&D"), QStringLiteral("A&B \"X\""));
    auto food = addCategory(doc->categoryTrees()->expense(), 1005);
    doc->updateExpense(makeEntry(cv::EntryKind::Expense, day(2008, 3, 5), 1200, 1005, 1000), nullptr);
    auto memo = makeEntry(cv::EntryKind::Expense, day(2008, 3, 6), 5, 1005, 1000);
    memo->setMemo(QStringLiteral("a\tb\rc<d>\x01"));
    doc->updateExpense(memo, nullptr);

    const QByteArray text = exported();
    EXPECT_TRUE(text.contains("<title>R&amp;D</title>"));
    EXPECT_TRUE(text.contains("company=\"A&amp;B &quot;X&quot;\""));
    EXPECT_TRUE(text.contains("<currency id=\"1\" fraction=\"0\" abbr=\"JPY\" prefix=\"\" rate=\"1.0000\">"));
    // A rate that "%.4f" and "%.6f" would both cut keeps every digit.
    EXPECT_TRUE(text.contains("abbr=\"USD\" prefix=\"\" rate=\"0.00912345\">"));
    EXPECT_TRUE(text.contains("<price date=\"2008.3.5\" value=\"102.500000\"/>"));
    EXPECT_EQ(linesWith(text, "<actual ").first(),
              "<actual kind=\"1\" category=\"1005\" account=\"1000\" date=\"2008.3.5\" value=\"1200.00\"/>");
    // TAB stays in text, CR becomes a reference, the control character goes.
    EXPECT_TRUE(text.contains("<note>a\tb&#13;c&lt;d&gt;</note>"));

    EXPECT_EQ(cv::xml::escaped(QStringLiteral("a\tb\nc\rd"), true), "a&#9;b&#10;c&#13;d");
    EXPECT_EQ(cv::xml::escaped(QString::fromUtf16(u"x\xFFFE\xD800y"), false), "xy");
    EXPECT_EQ(cv::xml::escaped(QStringLiteral("食費 🍙"), false), QStringLiteral("食費 🍙").toUtf8());
    QString plain;
    for (char32_t c = 0x20; c < 0x110000; ++c)
        if ((c < 0xD800 || c > 0xDFFF) && c != 0xFFFE && c != 0xFFFF && c != '&' && c != '<' && c != '>')
            plain += QString::fromUcs4(&c, 1);
    EXPECT_TRUE(cv::xml::escaped(plain, false) == plain.toUtf8());
    EXPECT_EQ(cv::xml::decimal(0.0125, 4), "0.0125");
    EXPECT_EQ(cv::xml::decimal(0.01375, 4), "0.013750");
    EXPECT_EQ(cv::xml::decimal(12.345, 2), "12.345000");
    EXPECT_EQ(cv::xml::count(1500), "1500");
    EXPECT_EQ(cv::xml::count(1500.5), "1500.500000");
    EXPECT_EQ(cv::xml::parseDecimal(u"  -12.5e1x"), -125.0);
    EXPECT_EQ(cv::xml::parseDecimal(u"abc"), 0.0);
}

TEST_F(XMLTest, HoldingsAndTradeCounts)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    auto stock = addSecurity(QStringLiteral("S"), 1);
    auto trust = addSecurity(QStringLiteral("T"), 1);
    trust->setKind(cv::SecurityKind::InvestmentTrust);
    auto invest = addAccount(doc->accountTrees()->asset(), 1000, 32, 0);
    for (const auto &[security, units, dated] : {std::tuple{stock, 0.0, true}, {trust, 1500.25, false}}) {
        auto unit = std::make_shared<cv::OpeningHolding>();
        unit->setSecurity(security->ident());
        unit->setUnits(units);
        unit->setUnitPrice(101.125);
        if (dated) unit->setDate(day(2008, 1, 1));
        auto node = std::make_shared<cv::Node>();
        node->setKind(cv::NodeKind::Holding);
        node->setIdent(0);
        node->setExtra(unit);
        invest->appendChild(node);
    }
    for (const auto &t : {makeTrade(0, day(2008, 2, 1), 1000, stock->ident(), 100, 500),
                          makeTrade(0, day(2008, 2, 2), 1000, trust->ident(), 12.5, 10000),
                          makeTrade(10, day(2008, 2, 3), 1000, stock->ident(), 0, 30)})
        ASSERT_TRUE(doc->store()->putTrade(t));

    const QByteArray text = exported();
    const auto holdings = linesWith(text, "<node_brand");
    ASSERT_EQ(holdings.size(), 2);
    EXPECT_EQ(holdings[0], "<node_brand date=\"2008.1.1\" brand=\"1\">"); // no units: no count, price, cost
    EXPECT_EQ(holdings[1], "<node_brand brand=\"2\" count=\"1500.250000\" price=\"101.125000\" cost=\"0.00\">");
    const auto trades = linesWith(text, "<trade ");
    ASSERT_EQ(trades.size(), 3);
    EXPECT_TRUE(trades[0].contains(" count=\"100\" price=\"500.000000\"/>"));
    EXPECT_FALSE(trades[1].contains(" count=")); // the dividend, under the same holding
    EXPECT_TRUE(trades[2].contains(" count=\"12.500000\" "));
    EXPECT_FALSE(text.contains("kind=\"3\""));
}

TEST_F(XMLTest, LoanRepaymentFlagsBothWays)
{
    addCurrency(1, QStringLiteral("JPY"), 1, 0);
    const struct {
        int flags;
        const char *written; // the line's end; "" for no holiday attribute
    } cases[] = {
        {32, ""},
        {16, "holiday=\"-\">"},
        {0, "holiday=\"+\">"},
        {2 + 4 + 64 + 128, "postpaid=\"1\" next_month=\"1\" next_day=\"1\" fraction=\"1\" holiday=\"+\">"},
        // Each flag apart from its neighbours, so that no two can trade places.
        {2 + 64, "postpaid=\"1\" next_day=\"1\" holiday=\"+\">"},
        {4 + 128 + 16, "next_month=\"1\" fraction=\"1\" holiday=\"-\">"},
    };
    const int n = int(std::size(cases));
    for (int i = 0; i < n; ++i) loanWithFlags(1001 + i, cases[i].flags);
    const QByteArray text = exported();
    const auto loans = linesWith(text, "<node_loan");
    ASSERT_EQ(loans.size(), n);
    auto target = blankDocument();
    ASSERT_TRUE(importText(*target, text));
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(cases[i].flags);
        EXPECT_TRUE(*cases[i].written ? loans[i].endsWith(cases[i].written) : !loans[i].contains("holiday"));
        const auto node = target->accountTrees()->debt()->childAt(i);
        EXPECT_EQ(std::dynamic_pointer_cast<cv::LoanTerms>(node->extra())->repaymentFlags(), cases[i].flags);
    }
}

TEST_F(XMLTest, FailedOpenLeavesTheOldFile)
{
    const QString path = other.filePath(QStringLiteral("missing/book.cvxf"));
    EXPECT_FALSE(doc->export_(path));
    EXPECT_FALSE(QFile::exists(path));

    // A device that refuses the bytes makes the export fail.
    QBuffer full;
    full.open(QIODevice::ReadOnly);
    EXPECT_FALSE(cv::xml::exportTo(*doc, full));
}

// ---------------------------------------------------------------- reader

TEST_F(XMLTest, ReaderPlacesWhatItReads)
{
    auto target = blankDocument();
    bool isTemplate = true;
    const QByteArray text =
        "<?xml version=\"1.0\"?>\n<cvxf version=\"1.0\" date=\"2008.3.5\" summary=\"3\">\n"
        " <unknown_x><node_bank id=\"5000\"/></unknown_x>\n"
        " <currency_list>\n"
        "  <currency id=\"1\" fraction=\"0\" abbr=\"JPY\" prefix=\"\" rate=\"1.0000\"><title>Yen</title></currency>\n"
        "  <currency id=\"2\" fraction=\"2\" abbr=\"USD\" prefix=\"$\" rate=\"102.0000\">\n"
        "   <title>US&amp;<![CDATA[<D>]]>&undeclared;</title>\n"
        "   <price date=\"2008.3.5\" value=\"102.500000\"/>\n"
        "  </currency>\n"
        " </currency_list>\n"
        " <brand_list>\n"
        "  <brand id=\"5\" kind=\"1\" market=\"0\" currency=\"1\"><title>F</title>\n"
        "   <price date=\"2008.3.6\" value=\"9876.543210\"/></brand>\n"
        " </brand_list>\n"
        " <asset>\n"
        "  <node_invest id=\"1001\" date=\"2008.1.1\">\n"
        "   <node_brand date=\"2008.1.1\" brand=\"5\" count=\"1500\" price=\"1.00\" cost=\"0.00\">\n"
        "    <trade kind=\"0\" brand=\"5\" account=\"1001\" date=\"2008.2.1\" count=\"12.500000\"/>\n"
        "    <trade kind=\"0\" brand=\"5\" account=\"9999\" date=\"2008.2.1\" count=\"1\"/>\n"
        "   </node_brand>\n"
        "  </node_invest>\n"
        "  <node_cache id=\"1002\"><title>R&amp;D</title><note>x</note></node_cache>\n"
        " </asset>\n"
        " <actual_sum>\n"
        "  <node_actual_sum id=\"3001\"><reference refid=\"1001\"/><reference refid=\"1002\" kind=\"1\"/>"
        "</node_actual_sum>\n"
        " </actual_sum>\n"
        "</cvxf>\n";
    ASSERT_TRUE(importText(*target, text, &isTemplate));
    EXPECT_FALSE(isTemplate);
    EXPECT_EQ(target->settings()->viewerSummary(), 3);
    EXPECT_FALSE(target->findAccount(5000));

    const auto invest = target->accountTrees()->asset()->childAt(0);
    ASSERT_TRUE(invest);
    EXPECT_EQ(invest->ident(), 1001);
    EXPECT_EQ(invest->currency(), 1); // no currency attribute: the default one
    ASSERT_EQ(invest->countChild(), 2);
    EXPECT_EQ(invest->childAt(0)->kind(), 3);
    EXPECT_EQ(invest->childAt(0)->ident(), 0);
    const auto unit = std::dynamic_pointer_cast<cv::OpeningHolding>(invest->childAt(1)->extra());
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->units(), 1500);
    const auto trades = *target->store()->findTradeFrom(QDate(), QDate(), -1, -1, 0);
    ASSERT_EQ(trades.size(), 1u); // only the one under its own account
    EXPECT_EQ(trades[0]->count(), 12.5);

    EXPECT_EQ(target->findCurrency(2)->name(), QStringLiteral("US&<D>undeclared"));
    ASSERT_EQ(target->store()->getRateListForCurrency(2)->size(), 1u);
    EXPECT_EQ(target->store()->getRateListForCurrency(2)->front()->price(), 102.5);
    ASSERT_EQ(target->store()->getPriceListForSecurity(5)->size(), 1u);
    EXPECT_EQ(target->store()->getPriceListForSecurity(5)->front()->price(), 9876.54321);
    EXPECT_EQ(target->findSecurity(5)->kind(), 1);

    const auto cash = target->findAccount(1002);
    ASSERT_TRUE(cash);
    EXPECT_EQ(cash->name(), QStringLiteral("R&D"));
    EXPECT_EQ(std::dynamic_pointer_cast<cv::AccountDetail>(cash->extra())->memo(), QStringLiteral("x"));
    const auto summary =
        std::dynamic_pointer_cast<cv::Summary>(target->categoryTrees()->summary()->childAt(0)->extra());
    ASSERT_TRUE(summary);
    ASSERT_EQ(summary->addedNodes().size(), 1u);
    EXPECT_EQ(summary->addedNodes()[0]->refID(), 1001);
    ASSERT_EQ(summary->subtractedNodes().size(), 1u);
    EXPECT_EQ(summary->subtractedNodes()[0]->refID(), 1002);
}

TEST_F(XMLTest, TemplateMarkAndLateCurrency)
{
    auto target = blankDocument();
    bool isTemplate = false;
    ASSERT_TRUE(importText(*target,
                           "<?xml version=\"1.0\"?><cvxf template=\"0\"><asset><node_cache id=\"1001\"/>"
                           "<node_invest id=\"1002\"/></asset>"
                           "<currency_list><currency id=\"7\"/></currency_list></cvxf>",
                           &isTemplate));
    EXPECT_TRUE(isTemplate);
    EXPECT_EQ(target->settings()->viewerSummary(), 1); // no summary attribute: unchanged
    // Read before any currency was known, it gets the default one at the end.
    EXPECT_EQ(target->findAccount(1001)->currency(), 7);
    EXPECT_EQ(target->findAccount(1002)->currency(), 7);
    EXPECT_EQ(target->findAccount(1002)->childAt(0)->currency(), 7); // and its cash part
}

TEST_F(XMLTest, MisplacedAndUndatedRecordsAreLeftOut)
{
    auto target = blankDocument();
    const QByteArray body =
        " <currency_list><note>n</note><currency id=\"1\"><budget date=\"2008.1.1\" value=\"5\"/>"
        "<title>Y</title></currency></currency_list>\n"
        " <debt><node_loan id=\"1001\" count=\"2\"><repayment kind=\"0\" date=\"2008.1.27\" principal=\"1\"/>"
        "<repayment kind=\"0\" principal=\"9\"/></node_loan>"
        "<repayment kind=\"0\" date=\"2008.2.27\" principal=\"1\"/>"
        "<node_debt id=\"1002\"><price date=\"2008.1.1\" value=\"1\"/><reference refid=\"1\"/></node_debt></debt>\n"
        " <expense><node_actual id=\"1003\"><note>lost</note>"
        "<actual kind=\"1\" category=\"1003\" account=\"1002\" date=\"2008.13.1\" value=\"1\"/>"
        "<actual kind=\"1\" category=\"1003\" account=\"1002\" value=\"2\"/>"
        "<actual kind=\"1\" category=\"1003\" account=\"1002\" date=\"2008.2.1\" value=\"3\"/>"
        "<budget date=\"2008.4.1\" value=\"100.00\"/></node_actual></expense>";
    ASSERT_TRUE(importText(*target, wrap(body)));
    ASSERT_EQ(target->currencyList().size(), 1u);
    EXPECT_EQ(target->currencyList()[0]->name(), QStringLiteral("Y"));
    EXPECT_EQ(scheduleOf(*target, 1001).size(), 1u);
    const auto entries = allEntries(*target);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->amount(), 3);
    EXPECT_EQ(target->findExpense(1003)->budgetAt(2008, 5), 100);
    EXPECT_FALSE(target->findAccount(1002)->extra() == nullptr);
}

// A repayment the open would refuse refuses the XML file, as does a schedule
// whose balance, figured again, leaves that range on its last row: the book
// saved from what it accepts opens again.
TEST_F(XMLTest, RepaymentsOutsideTheOpensRangeRefuseTheFile)
{
    const struct {
        const char *principal, *interest;
        int repayments; // each alike, a month apart
        bool reads;
    } rows[] = {
        {"1000000000000", "0", 1, true},  {"1000000000001", "0", 1, false}, {"-1000000000001", "0", 1, false},
        {"-1000", "10", 1, true},         {"1000", "-1", 1, false},         {"1000", "1000000000001", 1, false},
        {"-600000000000", "0", 2, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.principal) + " " + row.interest + " x" + std::to_string(row.repayments));
        QByteArray body = " <debt><node_loan id=\"1001\" count=\"" + QByteArray::number(row.repayments) + "\">";
        for (int month = 1; month <= row.repayments; ++month)
            body += "<repayment kind=\"0\" date=\"2008." + QByteArray::number(month) + ".27\" principal=\"" +
                    row.principal + "\" interest=\"" + row.interest + "\"/>";
        body += "</node_loan></debt>";
        QFile xml(other.filePath(QStringLiteral("loan.cvxf")));
        ASSERT_TRUE(xml.open(QIODevice::WriteOnly | QIODevice::Truncate) && xml.write(wrap(body)) > 0);
        xml.close();
        cv::Book opened;
        EXPECT_EQ(opened.initWithContentsOfFile(xml.fileName(), cv::Book::kTypeXML), row.reads);
        if (!row.reads) continue;
        const QString saved = other.filePath(QStringLiteral("loan.cvv2"));
        ASSERT_TRUE(opened.writeToFile(saved, cv::Book::kTypeV2));
        cv::Book reopened;
        EXPECT_TRUE(reopened.initWithContentsOfFile(saved, cv::Book::kTypeV2));
    }
}

TEST_F(XMLTest, AFileOfAnotherKindIsNoBook)
{
    // Well-formed, but nothing in it is ours: reading it is no success.
    auto target = blankDocument();
    EXPECT_FALSE(importText(*target, "<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict><key>asset</key>"
                                     "<cvxf/></dict></plist>\n"));
    EXPECT_TRUE(importText(*target, "<?xml version=\"1.0\"?>\n<cvxf/>\n"));

    // Opened as a book: another program's file fails; a template opens untitled.
    const auto write = [&](const QString &name, const QByteArray &text) {
        QFile file(other.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    cv::Book foreign;
    EXPECT_FALSE(foreign.initWithContentsOfFile(write(QStringLiteral("list.cvxf"), "<plist/>"), cv::Book::kTypeXML));
    cv::Book fromTemplate;
    const QByteArray marked =
        wrap(" <asset><node_cache id=\"1001\"/></asset>").replace("<cvxf ", "<cvxf template=\"1\" ");
    ASSERT_TRUE(fromTemplate.initWithContentsOfFile(write(QStringLiteral("t.cvxf"), marked), cv::Book::kTypeXML));
    EXPECT_TRUE(fromTemplate.fileName().isEmpty());
    EXPECT_EQ(fromTemplate.fileType(), cv::Book::kTypeV2);
    EXPECT_TRUE(fromTemplate.findAccount(1001));
}

// ---------------------------------------------------------------- round trip

// Each shipped template is exactly what the writer makes of what the reader
// reads from it: its layout, order and number forms are the writer's, and
// nothing in it is passed over. Only the first lines differ: a template is
// marked and has no summary, and a node read without a currency gets the
// default one.
TEST_F(XMLTest, EveryShippedTemplateIsWhatTheWriterWritesOfIt)
{
    static const QRegularExpression head(QStringLiteral(
        "^<\\?xml version=\"1.0\"\\?>\n<cvxf version=\"1.0\" date=\"[1-9][0-9]*\\.[1-9][0-9]?\\.[1-9][0-9]?\" "
        "template=\"1\">\n"));
    static const QRegularExpression day(QStringLiteral(" (?:due|cutoff)=\"([0-9]+)\""));
    const QDir root(QStringLiteral(CV_TEST_RESOURCES "/templates"));
    int files = 0;
    for (const QString &language : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(language));
        for (const QString &name : dir.entryList({QStringLiteral("*.cvxf")}, QDir::Files)) {
            SCOPED_TRACE(QString(language + u'/' + name).toStdString());
            ++files;
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            const auto match = head.match(text);
            ASSERT_TRUE(match.hasMatch()) << text.left(120).toStdString();
            for (auto it = day.globalMatch(text); it.hasNext();) {
                const int value = it.next().captured(1).toInt();
                EXPECT_TRUE(value >= 1 && value <= 31) << value;
            }
            auto target = blankDocument();
            ASSERT_TRUE(importText(*target, text.toUtf8()));
            const QString written = QString::fromUtf8(exported(*target));
            const auto body = [](const QString &t) {
                return t.mid(t.indexOf(u'\n', t.indexOf(u'\n') + 1) + 1).remove(QStringLiteral(" currency=\"1\""));
            };
            EXPECT_EQ(body(written).toStdString(), body(text).toStdString());
        }
    }
    EXPECT_EQ(files, 8);
}

TEST_F(XMLTest, RoundTripKeepsEveryValue)
{
    ASSERT_TRUE(samplebook::fillRichBook(*doc));

    const QByteArray first = exported();
    auto target = blankDocument();
    ASSERT_TRUE(importText(*target, first));
    EXPECT_EQ(entrySet(*target), entrySet(*doc));
    EXPECT_EQ(tradeSet(*target), tradeSet(*doc));
    EXPECT_EQ(scheduleOf(*target, 1004), scheduleOf(*doc, 1004));
    for (int c : {1, 2}) {
        const auto a = *doc->store()->getRateListForCurrency(c);
        const auto b = *target->store()->getRateListForCurrency(c);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(a[i]->isEqual(b[i].get()));
    }
    EXPECT_EQ(target->findCurrency(2)->rate(), 0.00912345);
    EXPECT_EQ(
        std::dynamic_pointer_cast<cv::OpeningHolding>(target->findAccount(1002)->childAt(1)->extra())->unitPrice(),
        2999.999);
    EXPECT_EQ(std::dynamic_pointer_cast<cv::BankDetail>(target->findAccount(1001)->extra())->memo(),
              QStringLiteral("line 1\nline 2\r\n'&'"));

    // The imported book writes the same file, twice; only nodes that had no
    // currency now carry the default one.
    const QByteArray second = exported(*target);
    EXPECT_EQ(QByteArray(second).replace(" currency=\"1\"", "").toStdString(),
              QByteArray(first).replace(" currency=\"1\"", "").toStdString());
    EXPECT_EQ(exported(*target), second);
}

// ---------------------------------------------------------------- hostile files

TEST_F(XMLTest, HostileFilesNeverCrash)
{
    QByteArray deep = "<?xml version=\"1.0\"?><cvxf><expense>";
    for (int i = 0; i < 1000; ++i) deep += "<node_group id=\"" + QByteArray::number(5000 + i) + "\">";
    for (int i = 0; i < 1000; ++i) deep += "</node_group>";
    deep += "</expense></cvxf>";
    {
        auto target = blankDocument();
        EXPECT_TRUE(importText(*target, deep));
        EXPECT_TRUE(target->findExpense(5999));
        EXPECT_FALSE(exported(*target).isEmpty());
    }
    {
        QByteArray deeper = "<cvxf>";
        for (int i = 0; i < 100000; ++i) deeper += "<x>";
        auto target = blankDocument();
        EXPECT_FALSE(importText(*target, deeper));
        QByteArray nested = "<cvxf><asset>";
        for (int i = 0; i < 5000; ++i) nested += "<node_group>";
        EXPECT_FALSE(importText(*target, nested));
    }

    const QByteArray good = [&] {
        addCurrency(1, QStringLiteral("JPY"), 1, 0);
        auto food = addCategory(doc->categoryTrees()->expense(), 1005);
        addAccount(doc->accountTrees()->asset(), 1000, 30, 10);
        doc->updateExpense(makeEntry(cv::EntryKind::Expense, day(2008, 3, 5), 12, 1005, 1000), nullptr);
        return exported();
    }();
    for (qsizetype cut = 0; cut < good.size(); cut += 7) {
        auto target = blankDocument();
        importText(*target, good.left(cut));
    }
    QRandomGenerator random(1234);
    for (int round = 0; round < 200; ++round) {
        QByteArray noise = good;
        for (int i = 0; i < 8; ++i) noise[random.bounded(int(noise.size()))] = char(random.bounded(256));
        auto target = blankDocument();
        importText(*target, noise);
        QByteArray bytes(512, Qt::Uninitialized);
        for (auto &b : bytes) b = char(random.bounded(256));
        importText(*target, bytes);
    }
    // An external entity is never fetched; the reference stays unresolved.
    const QString secret = other.filePath(QStringLiteral("secret.txt"));
    QFile file(secret);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("SECRET");
    file.close();
    auto target = blankDocument();
    importText(*target, "<?xml version=\"1.0\"?><!DOCTYPE cvxf [<!ENTITY x SYSTEM \"file://" + secret.toUtf8() +
                            "\">]><cvxf><group_list><group id=\"1\"><title>&x;</title></group></group_list></cvxf>");
    for (const auto &g : target->groupList()) EXPECT_FALSE(g->name().contains(QStringLiteral("SECRET")));

    // A few kilobytes of references to a declared entity would grow into gigabytes
    // of text; no book declares entities, so such a file is refused whole.
    auto blown = blankDocument();
    const QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE cvxf [<!ENTITY e \"" + QByteArray(4000, 'a') +
                            "\">]><cvxf><group_list><group id=\"1\"><title>" + QByteArray("&e;").repeated(10) +
                            "</title></group>" + "</group_list></cvxf>";
    EXPECT_FALSE(importText(*blown, bomb));
    EXPECT_TRUE(blown->groupList().empty());
    EXPECT_TRUE(importText(*blown, "<?xml version=\"1.0\"?><!DOCTYPE cvxf><cvxf/>"));

    // An ident at the type's limit taken twice leaves none for the second: refused, once, and read.
    for (const auto &[list, item] :
         {std::pair{"currency_list", "currency"}, {"brand_list", "brand"}, {"group_list", "group"}}) {
        const QByteArray at = QByteArray("<") + item + " id=\"2147483647\"><title>A</title></" + item + ">";
        const QByteArray open = QByteArray("<cvxf><") + list + ">", close = QByteArray("</") + list + "></cvxf>";
        auto twice = blankDocument();
        EXPECT_FALSE(importText(*twice, open + at + at + close)) << list;
        auto once = blankDocument();
        EXPECT_TRUE(importText(*once, open + at + close)) << list;
    }
}

// ---------------------------------------------------------------- damage

// A book from outside: attribute names a conforming parser refuses fail the
// read (a flipped bit must not cost an entry its account), an entry's unknown
// ones are logged, prices and rates beyond 10^12 are left out with the
// reason, and the catch-all categories are there after the read.
TEST_F(XMLTest, CraftedBooksReadAsAConformingParserWould)
{
    // clang-format off
    const struct {
        const char *attribute;   // on the entry
        const char *price;
        bool reads;
        const char *logged;
    } cases[] = {
        {"account", "102.5", true, nullptr},
        {"\xc2\xb7" "ccount", "1", false, nullptr},
        {"x-note", "1", true, "unknown attribute x-note of an entry"},
        {"account", "1e308", true, "price or rate above 10^12"},
    };
    // clang-format on
    const QString path = other.filePath(QStringLiteral("crafted.cvxf"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.attribute + std::string(" ") + c.price);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(wrap(QByteArray(" <brand_list><brand id=\"1\"><price date=\"2008.1.1\" value=\"") + c.price +
                        "\"/></brand></brand_list>\n <expense><node_actual id=\"1003\"><actual kind=\"1\" "
                        "category=\"1003\" " +
                        c.attribute + "=\"1002\" date=\"2008.2.1\" value=\"3\"/></node_actual></expense>"));
        file.close();
        LogCapture log;
        cv::Book opened;
        ASSERT_EQ(opened.initWithContentsOfFile(path, cv::Book::kTypeXML), c.reads);
        if (c.logged) {
            EXPECT_TRUE(log.contains(QString::fromUtf8(c.logged)));
        }
        if (!c.reads) continue;
        EXPECT_EQ(opened.store()->getPriceListForSecurity(1)->size(), c.price == std::string("1e308") ? 0u : 1u);
        EXPECT_TRUE(opened.categoryTrees()->expense()->findMemberWithIdent(30));
        EXPECT_TRUE(opened.categoryTrees()->income()->findMemberWithIdent(31));
    }
}

// Entries in the writer's own lines are read apart from the general reader;
// a document type turns that off, so each file is read both ways.
TEST_F(XMLTest, EntryLinesReadAsTheGeneralReaderReadsThem)
{
    const QByteArray e = "   <actual kind=\"1\" category=\"1003\" account=\"1002\" date=\"2008.2.1\" value=\"";
    // clang-format off
    const QByteArray bodies[] = {
        "12.50\" transfer=\"1004\" group=\"2\" converted=\"0.11\"/>\n" + e + "-0.00\">\n    <note>a &amp; &lt;b&gt; "
        "\xe9\xa3\x9f\xe8\xb2\xbb \"q\" 'x'</note>\n   </actual>\n" + e + "3\">\n    <note></note>\n   </actual>",
        "1\">\n    <note>&#65;&undeclared;\tz</note>\n   </actual>\n" + e + "2\">\n    <note>\xc2\x85 \x7f</note>\n"
        "   </actual>\n" + e + "1e5\"/>\n" + e + "1234567890123456\"/>",
        "1\" memo=\"x\"/>\n" + e + "2\"/> \n   <actual kind=\"1\" date=\"2008.2.30\" value=\"1\"/>\n" + e + "3\" group=\"\"/>",
        "0\"/>\n" + e + "1\" kind=\"2\"/>",
        "0\"/>\n" + e + "1\">\n    <note>x]]>y</note>\n   </actual>",
        "0\"/>\n" + e + "1\">\n    <note>\xed\xa0\x80</note>\n   </actual>",
        "1\"/>\n<!--\n" + e + "2\"/>\n-->\n<zz>\n" + e + "3\"/>\n</zz>\n<title>\n" + e + "4\"/>\n</title>",
        "1\"/>\n<node_actual id=\"1004\"\n a=\">\">\n" + e + "2\"/>\n</node_actual>\n" + e + "3\">\n<note><![CDATA[\n" + e
            + "4\"/>\n]]></note>\n</actual>",
        "1\">\n    <note>cut",
    };
    // clang-format on
    const QByteArray tails[] = {"\n  </node_actual>\n </expense>",
                                "\n  </node_actual>\n </expense>\n</cvxf>\n" + e + "5\"/>"};
    int read = 0;
    for (const QByteArray &tail : tails) {
        for (const QByteArray &body : bodies) {
            const QByteArray text = wrap(" <expense>\n  <node_actual id=\"1003\">\n" + e + body + tail);
            SCOPED_TRACE(text.toStdString());
            std::vector<std::tuple<bool, QStringList, std::vector<EntryKey>>> reads;
            for (const QByteArray &file : {text, QByteArray(text).replace("?>\n", "?><!DOCTYPE cvxf>\n")}) {
                auto target = blankDocument();
                LogCapture log;
                const bool read = importText(*target, file);
                std::vector<EntryKey> entries;
                for (const auto &a : allEntries(*target))
                    entries.push_back({a->ident(), cv::raw(a->kind()), a->category(), a->account(), a->destination(),
                                       a->group(), a->amount(), a->converted(), a->memo(), a->date()});
                std::sort(entries.begin(), entries.end());
                reads.emplace_back(read, LogCapture::s_lines, std::move(entries));
            }
            // A file that does not read opens nothing: what it held up to its fault is never seen.
            ASSERT_EQ(std::get<0>(reads[0]), std::get<0>(reads[1]));
            if (!std::get<0>(reads[0])) continue;
            ++read;
            EXPECT_EQ(std::get<1>(reads[0]), std::get<1>(reads[1]));
            EXPECT_EQ(std::get<2>(reads[0]), std::get<2>(reads[1]));
        }
    }
    EXPECT_EQ(read, 5);
}

// Entries are written from their stored bytes and day numbers: the same text
// as decoding them to a memo and a date first.
TEST(XMLForms, StoredTextAndDayDatesAsDecoded)
{
    const QByteArray cases[] = {"",        "plain memo",     "食費 コンビニ", "a&b<c>", "\xEF\xBB\xBF", "\xEF\xBB\xBFx",
                                "caf\xE9", "x\xEF\xBF\xBEy", "tab\there\r",   "\x01"};
    for (const QByteArray &stored : cases) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(stored);
        if (utf8.hasError()) text = QString::fromLatin1(stored);
        QByteArray out;
        EXPECT_EQ(cv::xml::appendStoredText(out, stored), !text.isEmpty()) << stored.toHex().constData();
        EXPECT_EQ(out, text.isEmpty() ? QByteArray() : cv::xml::escaped(text, false)) << stored.toHex().constData();
    }
    for (int dayNumber : {0, -1, 59, 1154, 2921, 36524, -730120, -730121, 2920000, 3000000, -2000000000}) {
        const QDate d = cv::dates::fromDayNumber(dayNumber);
        QByteArray out;
        cv::xml::appendDayDate(out, dayNumber);
        EXPECT_EQ(out, QByteArray::number(d.year()) + '.' + QByteArray::number(d.month()) + '.' +
                           QByteArray::number(d.day()))
            << dayNumber;
    }
}
