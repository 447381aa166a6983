// OFX 2: the statement as XML. Only the elements below matter; every other
// element is passed over with its text.

#include "import/EncodingGuess.h"
#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include "model/CategoryTrees.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace cv {

namespace {

// Deeper nesting than any statement has is taken as hostile.
constexpr int kMaxDepth = 256;
// The wallet, the partner of a DEP that takes money out.
constexpr int kWallet = 10;

enum Code {
    Other = 0,
    BankFrom = 102,
    BankId = 103,
    Transaction = 105,
    TransactionType = 106,
    Posted = 107,
    Amount = 108,
    Name = 109,
    CardFrom = 112,
    AccountId = 113,
    InvestmentFrom = 114,
    Currency = 115,
};

Code codeOf(QStringView name)
{
    // clang-format off
    static const std::pair<QStringView, Code> codes[] = {
        {u"BANKACCTFROM", BankFrom},   {u"BANKID", BankId},       {u"STMTTRN", Transaction},
        {u"TRNTYPE", TransactionType}, {u"DTPOSTED", Posted},     {u"TRNAMT", Amount},
        {u"NAME", Name},               {u"CCACCTFROM", CardFrom}, {u"ACCTID", AccountId},
        {u"INVACCTFROM", InvestmentFrom}, {u"CURDEF", Currency},
    };
    // clang-format on
    for (const auto &[n, c] : codes)
        if (n == name) return c;
    return Other;
}

bool collectsText(Code code)
{
    return code == BankId || code == TransactionType || code == Posted || code == Amount || code == Name ||
           code == AccountId || code == Currency;
}

bool startsWith(QByteArrayView bytes, const char *mark, qsizetype length)
{
    return bytes.size() >= length && QByteArrayView(bytes.data(), length) == QByteArrayView(mark, length);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAccountBlock(Code code)
{
    return code == BankFrom || code == CardFrom || code == InvestmentFrom;
}

// Whether some element's value runs on into another tag, as in OFX 1.x
// ("<CODE>0<SEVERITY>INFO"); well-formed XML, whole or cut off, never does.
bool hasUnclosedValue(QByteArrayView data)
{
    for (qsizetype open = data.indexOf('<'); open >= 0;) {
        const qsizetype close = data.indexOf('>', open);
        const qsizetype next = close < 0 ? -1 : data.indexOf('<', close);
        if (next < 0 || data.indexOf('>', next) < 0) return false;
        QByteArrayView tag = data.sliced(open + 1, close - open - 1);
        if (const qsizetype blank = tag.indexOf(' '); blank >= 0) tag = tag.first(blank);
        const bool start = !tag.isEmpty() && tag[0] != '/' && tag[0] != '?' && tag[0] != '!' && !tag.endsWith('/');
        if (start && !data.sliced(close + 1, next - close - 1).trimmed().isEmpty()) {
            const QByteArrayView after = data.sliced(next);
            const bool closes = after.startsWith("</") && after.sliced(2).startsWith(tag) &&
                                after.sliced(2 + tag.size()).startsWith(">");
            if (!closes) return true;
        }
        open = next;
    }
    return false;
}

// The XML as text: UTF-16 by its mark; else the declared encoding (UTF-8
// when none is declared) unless the bytes overrule it (chooseEncoding); the
// mark and blanks before the declaration go. Empty when the declaration
// names an encoding the toolkit does not know: the parser then refuses what
// it cannot read. None when the file does not begin as XML.
struct XmlText {
    QString text;
    std::optional<TextEncoding> labelOverruled;
};

std::optional<XmlText> xmlText(QByteArrayView data)
{
    XmlText xml;
    if (startsWith(data, "\xFF\xFE", 2) || startsWith(data, "\xFE\xFF", 2)) {
        xml.text = decodeText(data, TextEncoding::Utf8);
    } else {
        if (startsWith(data, "\xEF\xBB\xBF", 3)) data = data.sliced(3);
        qsizetype start = 0;
        while (start < data.size() && isBlank(data[start])) ++start;
        data = data.sliced(start);
        if (!data.startsWith("<?xml") && !data.startsWith("<?OFX")) return std::nullopt;
        const qsizetype end = data.indexOf("?>");
        const QString declaration =
            QString::fromLatin1(data.first(end < 0 ? std::min<qsizetype>(data.size(), 200) : end));
        static const QRegularExpression encodingAttribute(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
        const QRegularExpressionMatch m = encodingAttribute.match(declaration);
        const std::optional<TextEncoding> label =
            m.hasMatch() ? encodingForName(m.captured(1)) : std::optional(TextEncoding::Utf8);
        if (!label) return xml;
        const EncodingChoice choice = chooseEncoding(data, label);
        if (choice.labelIgnored) xml.labelOverruled = choice.encoding;
        xml.text = decodeText(data, choice.encoding);
    }
    qsizetype start = 0;
    while (start < xml.text.size() && xml.text[start].isSpace()) ++start;
    xml.text.remove(0, start);
    if (!xml.text.startsWith(QLatin1String("<?xml")) && !xml.text.startsWith(QLatin1String("<?OFX")))
        return std::nullopt;
    return xml;
}

// An entity nobody declared stands for its own name.
class NameForUndeclaredEntity : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString &name) override { return name; }
};

} // namespace

bool looksLikeOfx2(QByteArrayView data)
{
    return xmlText(data.first(std::min<qsizetype>(data.size(), 4096))).has_value();
}

StatementRead readOfx2(QByteArrayView data)
{
    StatementRead read;
    const std::optional<XmlText> text = xmlText(data);
    if (!text) return read;
    read.labelOverruled = text->labelOverruled;
    QXmlStreamReader xml;
    NameForUndeclaredEntity entities;
    xml.setEntityResolver(&entities);
    if (text->text.isEmpty()) {
        qsizetype start = startsWith(data, "\xEF\xBB\xBF", 3) ? 3 : 0;
        while (start < data.size() && isBlank(data[start])) ++start;
        xml.addData(data.sliced(start).toByteArray());
    } else {
        xml.addData(text->text);
    }

    std::vector<Code> open;         // the codes of the open elements
    std::vector<QString> collected; // the text of each open text-collecting element
    int accountBlocks = 0;          // open BANKACCTFROM, CCACCTFROM or INVACCTFROM elements
    int transactions = 0;           // open STMTTRN elements
    bool deposit = false;           // the current transaction's TRNTYPE is DEP
    bool sawOfx = false;
    QString currency;               // the CURDEF of the statement being read
    // Values belong to a transaction only while it is open: a balance list's
    // NAME after the last one is no memo.
    auto lastRow = [&]() -> Entry * {
        return transactions == 0 || read.rows.empty() ? nullptr : read.rows.back().get();
    };

    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() >= size_t(kMaxDepth)) {
                xml.raiseError(QStringLiteral("nested too deep"));
                break;
            }
            const QStringView name = xml.name();
            sawOfx |= name == u"OFX";
            const Code code = codeOf(name);
            if (code == Transaction) {
                auto row = std::make_shared<Entry>();
                row->setAccount(-int(read.accounts.size()));
                read.rows.push_back(std::move(row));
                read.currencies.append(currency);
                deposit = false;
                ++transactions;
            }
            if (isAccountBlock(code)) ++accountBlocks;
            if (collectsText(code)) collected.emplace_back();
            open.push_back(code);
            break;
        }
        case QXmlStreamReader::Characters:
            if (!open.empty() && collectsText(open.back())) collected.back() += xml.text();
            break;
        case QXmlStreamReader::EndElement: {
            if (open.empty()) break;
            const Code code = open.back();
            open.pop_back();
            if (isAccountBlock(code)) --accountBlocks;
            if (code == Transaction) --transactions;
            if (!collectsText(code)) break;
            const QString value = collected.back().trimmed();
            collected.pop_back();
            Entry *row = lastRow();
            switch (code) {
            case BankId:
            case AccountId:
                if (accountBlocks > 0) read.accounts.append(value);
                break;
            case TransactionType:
                if (row) deposit = value == QLatin1String("DEP");
                break;
            case Posted:
                if (row) row->setDate(parseOfxDate(QStringView(value)).value_or(QDate()));
                break;
            case Amount:
                if (!row) break;
                if (const double v = parseOfxAmount(QStringView(value)).value_or(0); v >= 0) {
                    row->setKind(cv::EntryKind::Income);
                    row->setAmount(v);
                } else if (deposit) {
                    row->setKind(cv::EntryKind::Transfer);
                    row->setAmount(-v);
                    row->setDestination(kWallet);
                    row->setCategory(CategoryTrees::Asset2Asset);
                } else {
                    row->setKind(cv::EntryKind::Expense);
                    row->setAmount(-v);
                }
                break;
            case Name:
                if (row) row->setMemo(value);
                break;
            case Currency: currency = value.toUpper(); break;
            default: break;
            }
            break;
        }
        default: break;
        }
    }
    if (xml.hasError()) {
        read.rows.clear();
        read.accounts.clear();
        read.currencies.clear();
        read.status = StatementRead::Status::Damaged;
        return read;
    }
    if (!sawOfx) return StatementRead();
    // A row without a date is no transaction (its currency goes with it).
    qsizetype kept = 0;
    for (size_t i = 0; i < read.rows.size(); ++i) {
        if (!read.rows[i]->date().isValid()) continue;
        read.currencies[kept] = read.currencies[qsizetype(i)];
        read.rows[size_t(kept++)] = std::move(read.rows[i]);
    }
    read.rows.resize(size_t(kept));
    read.currencies.resize(kept);
    for (const EntryPtr &row : read.rows)
        if (row->kind() == cv::EntryKind::Expense) row->setFlags(PendingOutgoing);
    read.status = StatementRead::Status::Read;
    return read;
}

StatementRead readStatement(QByteArrayView data)
{
    if (!looksLikeOfx2(data)) return readOfx1(data);
    StatementRead xml = readOfx2(data);
    // Only a body of unclosed elements goes on to the lenient reader: a cut
    // off or broken XML file read that way would lose rows without a word.
    if (xml.status == StatementRead::Status::Read || !hasUnclosedValue(data)) return xml;
    StatementRead sgml = readOfx1(data);
    return sgml.status == StatementRead::Status::Read ? sgml : xml;
}

} // namespace cv
