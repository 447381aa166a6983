#include "import/LearnedMapping.h"

#include "document/Book.h"
#include "model/Node.h"
#include "platform/KeyedArchiver.h"

#include <variant>

namespace cv {

namespace {

std::optional<int> integerOf(const ArchiveValue &v)
{
    if (std::holds_alternative<std::int64_t>(v.v) || std::holds_alternative<double>(v.v)) {
        const std::int64_t n = v.toInt64();
        if (n >= INT_MIN && n <= INT_MAX) return int(n);
    }
    return std::nullopt;
}

} // namespace

LearnedMapping LearnedMapping::read(Book &document, int record)
{
    LearnedMapping mapping;
    const QByteArray data = document.reads().getImportMappingData(record);
    if (data.isEmpty()) return mapping;
    const std::optional<ArchiveValue> root = KeyedUnarchiver::unarchiveObjectWithData(data);
    const ArchiveDictionary *dictionary = root ? root->dictionary() : nullptr;
    if (!dictionary) return mapping;
    for (const auto &[key, value] : *dictionary) {
        const std::optional<int> n = integerOf(value);
        if (!n) continue;
        if (const QString *text = key.string()) {
            mapping.m_values[{false, {*text}}] = *n;
        } else if (const ArchiveArray *array = key.array()) {
            QStringList texts;
            for (const ArchiveValue &part : *array)
                if (const QString *t = part.string()) texts.append(*t);
            if (texts.size() == qsizetype(array->size())) mapping.m_values[{true, texts}] = *n;
        }
    }
    return mapping;
}

bool LearnedMapping::write(Book &document, int record) const
{
    ArchiveDictionary dictionary;
    dictionary.reserve(m_values.size());
    for (const auto &[key, value] : m_values) {
        ArchiveValue k;
        if (key.first) {
            ArchiveArray parts;
            for (const QString &t : key.second) parts.emplace_back(t);
            k = ArchiveValue(std::move(parts));
        } else {
            k = ArchiveValue(key.second.value(0));
        }
        dictionary.emplace_back(std::move(k), ArchiveValue(value));
    }
    const QByteArray archive = KeyedArchiver::archivedDataWithRootObject(ArchiveValue(std::move(dictionary)));
    return !archive.isEmpty() && document.putImportMapping(archive, record);
}

std::optional<int> LearnedMapping::value(const QString &key) const
{
    const auto it = m_values.find({false, {key}});
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

std::optional<int> LearnedMapping::value(const QStringList &arrayKey) const
{
    const auto it = m_values.find({true, arrayKey});
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

bool LearnedMapping::learn(const QString &key, int value)
{
    auto [it, added] = m_values.try_emplace({false, {key}}, value);
    if (added) return true;
    return std::exchange(it->second, value) != value;
}

bool LearnedMapping::learn(const QStringList &arrayKey, int value)
{
    auto [it, added] = m_values.try_emplace({true, arrayKey}, value);
    if (added) return true;
    return std::exchange(it->second, value) != value;
}

MappedTarget checkedTarget(const Book &document, int value, bool outgoing)
{
    MappedTarget target;
    if (value > 0) {
        // Only a category takes entries: one that became a folder since is passed over.
        const NodePtr node = outgoing ? document.findExpense(value) : document.findIncome(value);
        if (node && node->isCategory()) target.category = value;
    } else if (value < 0 && value != INT_MIN) {
        if (document.findAccount(-value)) target.partner = -value;
    }
    return target;
}

int checkedAccount(const Book &document, int value)
{
    return value > 0 && document.findAccount(value) ? value : 0;
}

} // namespace cv
