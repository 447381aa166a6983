// Every new document is filled from one of the shipped template documents, so
// each must hold only user items the reader can place without clashes. That
// each is in the writer's own layout is checked by reading and writing it.

#include "model/Currency.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

namespace {

const QString kResources = QStringLiteral(CV_TEST_RESOURCES);
const QStringList kLanguages{QStringLiteral("ja"), QStringLiteral("en")};
const QStringList kSections{"asset", "debt", "account_sum", "transfer", "income", "expense", "actual_sum"};
const QSet<int> kSystemIdents{10, 11, 12, 13, 30, 31, 32, 33};

struct Element {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    std::vector<Element> children;
};

struct Template {
    QString path; // language/file, for messages
    QString language;
    QByteArray bytes;
    Element root;
    QString error; // parse or layout fault; empty when sound
};

QString attr(const Element &e, const char *name)
{
    return e.attributes.value(QLatin1String(name)).toString();
}

// Reads the file into a tree.
Template readTemplate(const QString &language, const QString &file)
{
    Template t;
    t.language = language;
    t.path = language + u'/' + file;
    QFile f(kResources + QStringLiteral("/templates/") + t.path);
    if (!f.open(QIODevice::ReadOnly)) {
        t.error = QStringLiteral("cannot open");
        return t;
    }
    t.bytes = f.readAll();
    QXmlStreamReader xml(t.bytes);
    std::vector<Element *> open;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            Element e{xml.name().toString(), xml.attributes(), {}, {}};
            if (open.empty()) {
                t.root = e;
                open.push_back(&t.root);
            } else {
                open.back()->children.push_back(e);
                open.push_back(&open.back()->children.back());
            }
            break;
        }
        case QXmlStreamReader::EndElement: open.pop_back(); break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace()) open.back()->text += xml.text();
            break;
        default: break;
        }
    }
    if (xml.hasError()) t.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return t;
}

std::vector<Template> allTemplates()
{
    std::vector<Template> out;
    for (const QString &language : kLanguages) {
        const QDir dir(kResources + QStringLiteral("/templates/") + language);
        for (const QString &file : dir.entryList({QStringLiteral("*.cvxf")}, QDir::Files, QDir::Name))
            out.push_back(readTemplate(language, file));
    }
    return out;
}

const std::vector<Template> &templates()
{
    static const std::vector<Template> all = allTemplates();
    return all;
}

// ---- the nodes of the tree sections

const QHash<QString, QStringList> &nodeTagsOfSection()
{
    static const QHash<QString, QStringList> tags{
        {"asset", {"node_group", "node_cache", "node_bank", "node_invest", "node_asset"}},
        {"debt", {"node_group", "node_credit", "node_loan", "node_debt"}},
        {"account_sum", {"node_group", "node_account_sum"}},
        {"transfer", {}}, // only the system transfer items live there
        {"income", {"node_group", "node_actual"}},
        {"expense", {"node_group", "node_actual"}},
        {"actual_sum", {"node_group", "node_actual_sum"}},
    };
    return tags;
}

struct TemplateNode {
    QString section;
    QString tag;
    int ident;
    QString name;
    const Element *element;
};

// Collects the nodes of one section and reports the first misplaced item.
QString collectNodes(const Element &parent, const QString &section, std::vector<TemplateNode> &out)
{
    const bool summary = parent.name == u"node_account_sum" || parent.name == u"node_actual_sum";
    for (const Element &c : parent.children) {
        if (c.name == u"title") continue;
        if (c.name == u"reference") {
            if (!summary) return QStringLiteral("a reference under <%1>").arg(parent.name);
            continue;
        }
        if (!nodeTagsOfSection().value(section).contains(c.name))
            return QStringLiteral("<%1> does not belong in a template's %2 section").arg(c.name, section);
        if (parent.name == u"node_actual" || summary)
            return QStringLiteral("<%1> nested in <%2>, whose children are never read back").arg(c.name, parent.name);
        if (c.children.empty() || c.children.front().name != u"title" || c.children.front().text.isEmpty())
            return QStringLiteral("<%1 id=\"%2\"> does not begin with its title").arg(c.name, attr(c, "id"));
        out.push_back({section, c.name, attr(c, "id").toInt(), c.children.front().text, &c});
        if (QString fault = collectNodes(c, section, out); !fault.isEmpty()) return fault;
    }
    return {};
}

std::vector<TemplateNode> nodesOf(const Template &t, QString *fault)
{
    std::vector<TemplateNode> nodes;
    for (const Element &section : t.root.children)
        if (kSections.contains(section.name))
            if (QString f = collectNodes(section, section.name, nodes); !f.isEmpty() && fault->isEmpty()) *fault = f;
    return nodes;
}

// The display names of the items a new document adds itself, in one language.
QHash<QString, QString> systemNames(const QString &language)
{
    QHash<QString, QString> all;
    QFile f(kResources + QStringLiteral("/strings/") + language + QStringLiteral(".strings"));
    if (!f.open(QIODevice::ReadOnly)) return all;
    static const QRegularExpression line(QStringLiteral("^\"([^\"]+)\"\\s*=\\s*\"([^\"]*)\";"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(QString::fromUtf8(f.readAll())); it.hasNext();) {
        const auto m = it.next();
        all.insert(m.captured(1), m.captured(2));
    }
    QHash<QString, QString> names; // name -> section it would clash in
    names.insert(all.value("Wallet"), "asset");
    names.insert(all.value("SYS:Income-Misc"), "income");
    for (const char *key : {"SYS:Expense-Misc", "SYS:Loan-Interest", "SYS:Loan-Unspecified"})
        names.insert(all.value(QLatin1String(key)), "expense");
    return names;
}

} // namespace

TEST(TemplateFiles, EveryLanguageShipsTheSameNumberedSet)
{
    QHash<QString, QStringList> files;
    for (const Template &t : templates()) files[t.language] << t.path.section(u'/', 1);
    ASSERT_EQ(files.size(), kLanguages.size());
    for (const QString &language : kLanguages) {
        QStringList names = files.value(language);
        ASSERT_TRUE(names.removeOne("default.cvxf")) << language.toStdString();
        // a new document asks for "template-N" by number, so there may be no gap
        ASSERT_GE(names.size(), 3) << language.toStdString();
        for (int n = 1; n <= names.size(); ++n)
            EXPECT_TRUE(names.contains(QStringLiteral("template-%1.cvxf").arg(n)))
                << language.toStdString() << " lacks template-" << n;
        EXPECT_EQ(files.value(language).size(), files.value(kLanguages.first()).size()) << language.toStdString();
    }
}

TEST(TemplateFiles, HoldOnlyUserItemsUnderTheirOwnSections)
{
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.path.toStdString());
        ASSERT_TRUE(t.error.isEmpty()) << t.error.toStdString();
        QString fault;
        const std::vector<TemplateNode> nodes = nodesOf(t, &fault);
        EXPECT_TRUE(fault.isEmpty()) << fault.toStdString();
        EXPECT_FALSE(nodes.empty());

        const QHash<QString, QString> system = systemNames(t.language);
        ASSERT_FALSE(system.isEmpty());
        QSet<int> idents;
        QSet<QString> names; // one name once per section: the choosers list them flat
        for (const TemplateNode &n : nodes) {
            const std::string where = QStringLiteral("%1 '%2'").arg(n.tag, n.name).toStdString();
            EXPECT_TRUE(n.element->attributes.hasAttribute("id")) << where;
            EXPECT_GE(n.ident, 100) << where;
            EXPECT_FALSE(kSystemIdents.contains(n.ident)) << where;
            EXPECT_FALSE(idents.contains(n.ident)) << where << " repeats ident " << n.ident;
            idents.insert(n.ident);
            const QString sectionName = n.section + u'/' + n.name;
            EXPECT_FALSE(names.contains(sectionName)) << where << " named twice";
            names.insert(sectionName);
            EXPECT_NE(system.value(n.name), n.section) << where << " repeats an item every document has";
        }
    }
}

TEST(TemplateFiles, StartAnEmptyBook)
{
    // Entries, trades and schedules would land in every new document.
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.path.toStdString());
        const QString body = QString::fromUtf8(t.bytes);
        for (const char *tag : {"<actual ", "<actual>", "<trade", "<repayment", "<price"})
            EXPECT_FALSE(body.contains(QLatin1String(tag))) << tag;
    }
}

TEST(TemplateFiles, CurrenciesAreValidAndAgreeWithinALanguage)
{
    QHash<QString, QStringList> currenciesOfLanguage;
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.path.toStdString());
        const auto list = std::find_if(t.root.children.begin(), t.root.children.end(),
                                       [](const Element &e) { return e.name == u"currency_list"; });
        ASSERT_NE(list, t.root.children.end());
        QStringList codes;
        QSet<int> idents;
        for (const Element &c : list->children) {
            ASSERT_EQ(c.name, u"currency");
            const QString code = attr(c, "abbr");
            const int ident = attr(c, "id").toInt();
            EXPECT_TRUE(QRegularExpression("^[A-Z]{3}$").match(code).hasMatch()) << code.toStdString();
            const int preset = cv::Currency::presetIdent(code);
            if (preset != 100) {
                EXPECT_EQ(ident, preset) << code.toStdString();
            } else {
                EXPECT_GE(ident, 100) << code.toStdString();
            }
            EXPECT_FALSE(idents.contains(ident));
            idents.insert(ident);
            const int fraction = attr(c, "fraction").toInt();
            EXPECT_TRUE(fraction >= 0 && fraction <= 4) << code.toStdString();
            EXPECT_GT(attr(c, "rate").toDouble(), 0.0) << code.toStdString();
            ASSERT_EQ(c.children.size(), 1u);
            EXPECT_EQ(c.children.front().name, u"title");
            EXPECT_FALSE(c.children.front().text.isEmpty());
            codes << code + u' ' + attr(c, "rate");
        }
        // the first currency is the default one: everything else is valued in it
        if (!codes.isEmpty()) {
            EXPECT_TRUE(codes.first().endsWith(u" 1.0000")) << codes.first().toStdString();
        }
        if (currenciesOfLanguage.contains(t.language)) {
            EXPECT_EQ(codes, currenciesOfLanguage.value(t.language)) << "currencies differ from the language's others";
        }
        currenciesOfLanguage.insert(t.language, codes);
    }
    // a Japanese book keeps yen whatever the template
    EXPECT_EQ(currenciesOfLanguage.value("ja"), QStringList{"JPY 1.0000"});
}

TEST(TemplateFiles, SummaryReferencesFindTheirItems)
{
    for (const Template &t : templates()) {
        SCOPED_TRACE(t.path.toStdString());
        QString fault;
        const std::vector<TemplateNode> nodes = nodesOf(t, &fault);
        QHash<int, QString> sectionOf;
        for (const TemplateNode &n : nodes) sectionOf.insert(n.ident, n.section);
        for (const TemplateNode &n : nodes) {
            for (const Element &r : n.element->children) {
                if (r.name != u"reference") continue;
                const QString target = sectionOf.value(attr(r, "refid").toInt());
                const bool minus = r.attributes.hasAttribute("kind");
                const std::string where = QStringLiteral("'%1' -> %2").arg(n.name, attr(r, "refid")).toStdString();
                // a category summary adds income and subtracts expense; an account summary takes any account
                if (n.tag == u"node_actual_sum") {
                    EXPECT_EQ(target, minus ? u"expense" : u"income") << where;
                } else {
                    EXPECT_TRUE(target == u"asset" || target == u"debt") << where;
                }
            }
        }
    }
}
