#include "model/Entry.h"

#include "model/RecordKeys.h"

namespace cv {

QVariant Entry::valueForKey(const QString &key) const
{
    if (key == u"ident") return m_ident;
    if (key == u"kind") return cv::raw(m_kind);
    if (key == u"date") return cv::record::dateValue(m_date);
    if (key == u"category") return m_category;
    if (key == u"account") return m_account;
    if (key == u"destination") return m_destination;
    if (key == u"group") return m_group;
    if (key == u"amount") return m_amount;
    if (key == u"converted") return m_converted;
    if (key == u"memo") return memo();
    if (key == u"flags") return m_flags;
    if (key == u"checkFlags") return m_checkFlags;
    return {};
}

bool Entry::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == u"ident") return cv::record::assignInt(m_ident, value);
    if (key == u"kind") return cv::record::assignInt(m_kind, value);
    if (key == u"date") return cv::record::assignDate(m_date, value);
    if (key == u"category") return cv::record::assignInt(m_category, value);
    if (key == u"account") return cv::record::assignInt(m_account, value);
    if (key == u"destination") return cv::record::assignInt(m_destination, value);
    if (key == u"group") return cv::record::assignInt(m_group, value);
    if (key == u"amount") return cv::record::assignDouble(m_amount, value);
    if (key == u"converted") return cv::record::assignDouble(m_converted, value);
    if (key == u"memo") return cv::record::assignStringThrough([this](const QString &memo) { setMemo(memo); }, value);
    if (key == u"flags") return cv::record::assignInt(m_flags, value);
    if (key == u"checkFlags") return cv::record::assignInt(m_checkFlags, value);
    return false;
}

int Entry::compare(const Entry &other) const
{
    if (cv::isNewRow(m_flags) != cv::isNewRow(other.m_flags)) return cv::isNewRow(m_flags) ? 1 : -1;
    if (m_date != other.m_date) return m_date < other.m_date ? -1 : 1;
    return m_amount != 0 ? -1 : 1;
}

bool Entry::rowOrder(const EntryPtr &a, const EntryPtr &b)
{
    if (!a || !b) return a && !b;
    if (cv::isNewRow(a->m_flags) != cv::isNewRow(b->m_flags)) return !cv::isNewRow(a->m_flags);
    if (a->m_date != b->m_date) return a->m_date < b->m_date;
    return a->m_amount != 0 && b->m_amount == 0;
}

bool Entry::isEqual(const Entry *other) const
{
    if (other == this) return true;
    if (!other || m_ident == -1) return false;
    return m_ident == other->m_ident && m_kind == other->m_kind && m_category == other->m_category;
}

void Entry::copyContents(const Entry &other)
{
    m_ident = other.m_ident;
    m_kind = other.m_kind;
    m_account = other.m_account;
    m_category = other.m_category;
    m_group = other.m_group;
    m_destination = other.m_destination;
    m_amount = other.m_amount;
    m_converted = other.m_converted;
    m_date = other.m_date;
    m_memo = other.m_memo;
}

EntryPtr Entry::clone() const
{
    auto c = std::make_shared<Entry>();
    c->copyContents(*this);
    return c;
}

} // namespace cv
