#include "model/Node.h"

#include "model/ExtraInterfaces.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace cv {

namespace {

const std::vector<NodePtr> &noChildren()
{
    static const std::vector<NodePtr> empty;
    return empty;
}

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}

bool isFloating(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

// Equality of key values as the searches need it: numbers by value whatever
// their type, texts by content, records by identity; nothing equals "none".
bool valuesEqual(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid()) return false;
    if (isNumber(a) && isNumber(b)) {
        if (isFloating(a) || isFloating(b)) return a.toDouble() == b.toDouble();
        return a.toLongLong() == b.toLongLong();
    }
    if (a.typeId() != b.typeId()) return false;
    if (a.typeId() == QMetaType::QString) return a.toString() == b.toString();
    if (a.typeId() == QMetaType::fromType<cv::ArchivablePtr>().id())
        return a.value<cv::ArchivablePtr>() == b.value<cv::ArchivablePtr>();
    return a == b;
}

} // namespace

Node::~Node()
{
    // A child kept alive elsewhere must not point at a parent that is gone.
    if (m_children)
        for (const auto &c : *m_children)
            if (c && c->m_parent == this) c->m_parent = nullptr;
}

NodePtr Node::self()
{
    return weak_from_this().lock();
}

// ---- tree building ----

void Node::setParentValue(int status)
{
    if (m_parent) m_parent->setStatus(status);
}

bool Node::canAdopt(const NodePtr &child) const
{
    return child && !hasAncestor(child.get());
}

bool Node::appendChild(NodePtr child)
{
    return insertChild(std::move(child), countChild());
}

bool Node::insertChild(NodePtr child, int index)
{
    if (!canAdopt(child) || index < 0 || index > countChild()) return false;
    // A node hangs in one place only: it leaves its old list first. Moved
    // within this list, the index names a place in the list as it was.
    if (Node *old = child->m_parent) {
        if (old == this && m_children) {
            const auto &list = *m_children;
            const auto at = std::find(list.begin(), list.end(), child) - list.begin();
            if (at < index) --index;
        }
        old->detach(*child);
    }
    if (!m_children) m_children.emplace();
    child->m_parent = this;
    m_children->insert(m_children->begin() + index, std::move(child));
    return true;
}

void Node::detach(Node &child)
{
    if (child.m_parent == this) child.m_parent = nullptr;
    if (!m_children) return;
    std::erase_if(*m_children, [&child](const NodePtr &c) { return c.get() == &child; });
}

void Node::removeChild(NodePtr child)
{
    if (!m_children || !child) return;
    if (child->m_parent == this) child->m_parent = nullptr;
    removeNode(*child);
}

bool Node::removeNode(Node &node)
{
    if (!m_children) return false;
    // The removed nodes die only after the list is consistent again.
    std::vector<NodePtr> removed;
    std::vector<NodePtr> kept;
    kept.reserve(m_children->size());
    for (auto &c : *m_children) {
        if (c->isEqual(node)) {
            if (c->m_parent == this) c->m_parent = nullptr;
            removed.push_back(std::move(c));
        } else {
            kept.push_back(std::move(c));
        }
    }
    *m_children = std::move(kept);
    return !removed.empty();
}

bool Node::setChildren(std::vector<NodePtr> children)
{
    std::unordered_set<const Node *> seen;
    for (const auto &c : children)
        if (!canAdopt(c) || !seen.insert(c.get()).second) return false;
    if (m_children)
        for (const auto &old : *m_children)
            if (old->m_parent == this) old->m_parent = nullptr;
    for (const auto &c : children) {
        if (c->m_parent) c->m_parent->detach(*c);
        c->m_parent = this;
    }
    m_children = std::move(children);
    return true;
}

const std::vector<NodePtr> &Node::children() const
{
    return m_children ? *m_children : noChildren();
}

int Node::countChild() const
{
    return m_children ? int(m_children->size()) : 0;
}

NodePtr Node::childAt(int index) const
{
    if (!m_children || index < 0 || index >= int(m_children->size())) return nullptr;
    return (*m_children)[size_t(index)];
}

int Node::index() const
{
    if (!m_parent) return 0;
    const auto &siblings = m_parent->children();
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i]->isEqual(this)) return int(i);
    return int(siblings.size());
}

Node *Node::root()
{
    Node *n = this;
    while (n->m_parent) n = n->m_parent;
    return n;
}

bool Node::hasAncestor(const Node *node) const
{
    for (const Node *n = this; n; n = n->m_parent)
        if (n == node) return true;
    return false;
}

// ---- key-value access and searches ----

QVariant Node::valueForKey(const QString &key) const
{
    if (key == QLatin1String("ident")) return m_ident;
    if (key == QLatin1String("kind")) return cv::raw(m_kind);
    if (key == QLatin1String("status") || key == QLatin1String("intValue")) return m_status;
    if (key == QLatin1String("currency")) return m_currency;
    if (key == QLatin1String("collapsed")) return m_collapsed;
    if (key == QLatin1String("isExpanded")) return !m_collapsed;
    if (key == QLatin1String("name")) return m_name.isNull() ? QVariant() : QVariant(m_name);
    if (key == QLatin1String("extra")) return m_extra ? QVariant::fromValue(m_extra) : QVariant();
    return {};
}

NodePtr Node::findMemberWithValue(const QVariant &value, const QString &key)
{
    if (valuesEqual(valueForKey(key), value)) return self();
    for (const auto &c : children())
        if (auto found = c->findMemberWithValue(value, key)) return found;
    return nullptr;
}

NodePtr Node::findMemberWithIdent(int ident)
{
    return findMemberWithValue(ident, QStringLiteral("ident"));
}

NodePtr Node::findMemberWithExtra(const cv::ArchivablePtr &extra)
{
    if (!extra) return nullptr;
    return findMemberWithValue(QVariant::fromValue(extra), QStringLiteral("extra"));
}

NodePtr Node::findMemberWithoutValue(const QVariant &value, const QString &key)
{
    if (m_kind == cv::NodeKind::Investment || countChild() == 0)
        return valuesEqual(valueForKey(key), value) ? nullptr : self();
    const auto &list = children();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (auto found = (*it)->findMemberWithoutValue(value, key)) return found;
    return nullptr;
}

NodePtr Node::findMember(const NodePtr &node)
{
    if (!node) return nullptr;
    if (node.get() == this) return node;
    const auto &list = children();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (auto found = (*it)->findMember(node)) return found;
    return nullptr;
}

NodePtr Node::findMemberWithName(const QString &name)
{
    if (!name.isNull() && !m_name.isNull() && m_name == name) return self();
    const auto &list = children();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (auto found = (*it)->findMemberWithName(name)) return found;
    return nullptr;
}

bool Node::removeMember(const Node &node)
{
    if (isEqual(node)) {
        if (!m_parent) return false;
        const auto keepAlive = self();
        return m_parent->removeNode(*this);
    }
    for (int i = countChild() - 1; i >= 0; --i) {
        const NodePtr child = (*m_children)[size_t(i)];
        if (child->removeMember(node)) return true;
    }
    return false;
}

std::optional<int> identAbove(int greatest)
{
    if (greatest == std::numeric_limits<int>::max()) return std::nullopt;
    return std::max(1, greatest + 1);
}

int Node::greatestIdent(int seed) const
{
    int best = std::max(seed, m_ident);
    for (const auto &c : children()) best = c->greatestIdent(best);
    return best;
}

std::optional<std::vector<int>> Node::pathToChild(const Node *node) const
{
    if (node == this) return std::vector<int>{-1};
    for (int i = countChild() - 1; i >= 0; --i) {
        if (auto path = (*m_children)[size_t(i)]->pathToChild(node)) {
            path->insert(path->begin(), i);
            return path;
        }
    }
    return std::nullopt;
}

bool Node::investmentAccountHoldsSecurity(int security) const
{
    const auto &list = children();
    for (size_t i = 1; i < list.size(); ++i) {
        const auto *b = dynamic_cast<const SecurityExtra *>(list[i]->m_extra.get());
        if (b && b->security() == security) return true;
    }
    return false;
}

void Node::fixDefaultCurrency(int defaultCurrencyIdent)
{
    if ((countChild() == 0 || m_kind == cv::NodeKind::Investment) && m_currency == 0) m_currency = defaultCurrencyIdent;
    for (const auto &c : children()) c->fixDefaultCurrency(defaultCurrencyIdent);
}

// ---- status walks ----

bool Node::reduce(const std::function<bool(Node &)> &predicate)
{
    if (predicate(*this)) return true;
    // By index, holding each child: the predicate may change the tree.
    for (size_t i = 0; m_children && i < m_children->size(); ++i) {
        const NodePtr child = (*m_children)[i];
        if (child->reduce(predicate)) return true;
    }
    return false;
}

int Node::deepStatus() const
{
    if (m_status != 0) return m_status;
    for (const auto &c : children())
        if (c->deepStatus() != 0) return 1;
    return 0;
}

bool Node::deepStatus2()
{
    return reduce([](Node &n) { return n.status() != 0; });
}

int Node::sumStatusWithoutGroups() const
{
    int n = (m_status != 0 && m_kind != cv::NodeKind::SectionRoot && m_kind != cv::NodeKind::CashPart &&
             m_kind != cv::NodeKind::Holding && m_kind != cv::NodeKind::Group)
                ? 1
                : 0;
    for (const auto &c : children()) n += c->sumStatusWithoutGroups();
    return n;
}

int Node::sumMembersMatching(const std::function<bool(const Node &)> &delegate) const
{
    int n = delegate(*this) ? 1 : 0;
    for (size_t i = 0; m_children && i < m_children->size(); ++i) {
        const NodePtr child = (*m_children)[i];
        n += child->sumMembersMatching(delegate);
    }
    return n;
}

int Node::sumMembersAndGroups(bool withGroups) const
{
    int n = (withGroups || (m_kind != cv::NodeKind::SectionRoot && m_kind != cv::NodeKind::Group)) ? 1 : 0;
    for (const auto &c : children()) n += c->sumMembersAndGroups(withGroups);
    return n;
}

bool Node::allStatus() const
{
    if (m_status != 1) return false;
    for (const auto &c : children())
        if (!c->allStatus()) return false;
    return true;
}

// ---- identity and copies ----

bool Node::isEqual(const Node *other) const
{
    if (other == this) return true;
    if (!other || m_ident < 1) return false;
    return other->m_ident == m_ident && other->m_kind == m_kind;
}

NodePtr Node::deepCopy() const
{
    auto copy = std::make_shared<Node>();
    copy->m_ident = m_ident;
    copy->m_kind = m_kind;
    copy->m_currency = m_currency;
    copy->m_name = m_name;
    copy->m_extra = m_extra;
    if (m_children) {
        copy->m_children.emplace();
        copy->m_children->reserve(m_children->size());
        for (const auto &c : *m_children) {
            auto cc = c->deepCopy();
            cc->m_parent = copy.get();
            copy->m_children->push_back(std::move(cc));
        }
    }
    return copy;
}

QString Node::description() const
{
    const QString extra = m_extra ? QStringLiteral("<%1: %2>")
                                        .arg(m_extra->archiveClassName(),
                                             QString::asprintf("%p", static_cast<const void *>(m_extra.get())))
                                  : QStringLiteral("(null)");
    return QString::asprintf("<Node %p:(%d) '%s' k:%d extra:%s>", static_cast<const void *>(this), m_ident,
                             m_name.isNull() ? "(null)" : m_name.toUtf8().constData(), cv::raw(m_kind),
                             extra.toUtf8().constData());
}

std::vector<int> Node::enumerateCategories() const
{
    std::vector<int> out;
    collectCategories(out);
    return out;
}

void Node::collectCategories(std::vector<int> &out) const
{
    if (isCategory()) {
        out.push_back(m_ident);
        return;
    }
    for (const auto &c : children()) c->collectCategories(out);
}

// ---- keyed archiving ----

bool Node::childrenAreATree() const
{
    if (countChild() == 0) return true;
    std::unordered_set<const Node *> seen;
    for (const auto &c : *m_children)
        if (!c || c->m_parent != this || !seen.insert(c.get()).second) return false;
    return true;
}

QString Node::archiveClassName() const
{
    return QStringLiteral("CVUnitModel");
}

void Node::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    // The reader takes only trees; anything else is not written at all.
    if (!childrenAreATree()) {
        coder.fail();
        return;
    }
    coder.encodeInt(QStringLiteral("ident"), m_ident);
    coder.encodeInt(QStringLiteral("kind"), cv::raw(m_kind));
    coder.encodeInt(QStringLiteral("status"), m_status);
    if (!m_name.isEmpty()) coder.encodeObject(QStringLiteral("name"), m_name);
    coder.encodeInt(QStringLiteral("currency"), m_currency);
    if (countChild() > 0) coder.encodeObject(QStringLiteral("children"), cv::ArchiveValue::arrayOf(*m_children));
    if (m_extra) coder.encodeObject(QStringLiteral("extra"), cv::ArchiveValue(m_extra));
    coder.encodeBool(QStringLiteral("expanded"), !m_collapsed);
}

bool Node::initWithCoder(cv::KeyedUnarchiver &coder)
{
    // Stored nodes start from nothing: a missing key stays 0, none or false.
    m_ident = coder.decodeIntForKey(QStringLiteral("ident"));
    m_kind = cv::NodeKind(coder.decodeIntForKey(QStringLiteral("kind")));
    m_status = coder.decodeIntForKey(QStringLiteral("status"));
    m_name = QString();
    if (m_kind != cv::NodeKind::CashPart && m_kind != cv::NodeKind::Holding) {
        if (auto name = coder.decodeStringForKey(QStringLiteral("name"))) m_name = *name;
    }
    m_currency = coder.decodeIntForKey(QStringLiteral("currency"));

    m_children.reset();
    const cv::ArchiveValue list = coder.decodeObjectForKey(QStringLiteral("children"));
    if (!list.isNull()) {
        const cv::ArchiveArray *items = list.array();
        if (!items) {
            coder.fail();
            return false;
        }
        std::vector<NodePtr> adopted;
        adopted.reserve(items->size());
        for (const auto &item : *items) {
            auto child = item.objectAs<Node>();
            // A node listed twice, or one that already hangs elsewhere, or one
            // that would close a loop, is not a tree.
            const bool bad = !child || child->m_parent || child.get() == this || (m_parent && hasAncestor(child.get()));
            if (bad) {
                for (const auto &c : adopted) c->m_parent = nullptr;
                coder.fail();
                return false;
            }
            child->m_parent = this;
            adopted.push_back(std::move(child));
        }
        m_children = std::move(adopted);
    }

    const cv::ArchiveValue extra = coder.decodeObjectForKey(QStringLiteral("extra"));
    m_extra = extra.object();
    if (!extra.isNull() && !m_extra) {
        coder.fail();
        return false;
    }
    m_collapsed = !coder.decodeBoolForKey(QStringLiteral("expanded"));
    return !coder.failed();
}

} // namespace cv
