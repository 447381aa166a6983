#pragma once
// Helpers for the record tests: archive and decode model records, read the
// keys an archive holds, and write archives with keys of our choosing (as
// older documents or damaged files have them).

#include "model/ModelArchiveClasses.h"
#include "platform/KeyedArchiver.h"

#include <plist/plist.h>

#include <QVariant>

#include <cstdlib>
#include <map>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

namespace recordtest {

inline QByteArray archive(const cv::ArchiveValue &root)
{
    return cv::KeyedArchiver::archivedDataWithRootObject(root);
}

template <class T> std::shared_ptr<T> unarchive(const QByteArray &data)
{
    registerModelArchiveClasses();
    return cv::KeyedUnarchiver::unarchiveObjectOfClass<T>(data);
}

template <class T> std::shared_ptr<T> roundTrip(const std::shared_ptr<T> &object)
{
    return unarchive<T>(archive(object));
}

// The keys of the root object of an archive (without "$class"), with their
// values: integers as qint64, reals as double, booleans as bool, strings as
// QString, "$null" as an invalid QVariant and other objects as "<object>".
inline std::map<QString, QVariant> rootFields(const QByteArray &data)
{
    std::map<QString, QVariant> out;
    plist_t root = nullptr;
    plist_from_bin(data.constData(), uint32_t(data.size()), &root);
    if (!root) return out;
    plist_t objects = plist_dict_get_item(root, "$objects");
    plist_t top = plist_dict_get_item(plist_dict_get_item(root, "$top"), "root");
    const auto objectAt = [objects](plist_t uidNode) -> plist_t {
        uint64_t uid = 0;
        if (!uidNode || plist_get_node_type(uidNode) != PLIST_UID) return nullptr;
        plist_get_uid_val(uidNode, &uid);
        return plist_array_get_item(objects, uint32_t(uid));
    };
    plist_t object = objectAt(top);
    if (object && plist_get_node_type(object) == PLIST_DICT) {
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(object, &it);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(object, it, &key, &value);
            if (!key) break;
            const QString name = QString::fromUtf8(key);
            free(key);
            if (name == QLatin1String("$class")) continue;
            QVariant v;
            switch (plist_get_node_type(value)) {
            case PLIST_UINT: {
                uint64_t u = 0;
                plist_get_uint_val(value, &u);
                v = qint64(u);
                break;
            }
            case PLIST_REAL: {
                double d = 0;
                plist_get_real_val(value, &d);
                v = d;
                break;
            }
            case PLIST_BOOLEAN: {
                uint8_t b = 0;
                plist_get_bool_val(value, &b);
                v = bool(b);
                break;
            }
            case PLIST_UID: {
                plist_t target = objectAt(value);
                if (target && plist_get_node_type(target) == PLIST_STRING) {
                    const QString s = QString::fromUtf8(plist_get_string_ptr(target, nullptr));
                    v = s == QLatin1String("$null") ? QVariant() : QVariant(s);
                } else {
                    v = QStringLiteral("<object>");
                }
                break;
            }
            default:
                v = QStringLiteral("<other>");
            }
            out[name] = v;
        }
        free(it);
    }
    plist_free(root);
    return out;
}

// An object that archives under any class name with the fields given, in order.
class RawRecord : public cv::KeyedArchivable, public std::enable_shared_from_this<RawRecord> {
public:
    using Field = std::variant<int, double, bool, cv::ArchiveValue>;

    explicit RawRecord(QString className) : className_(std::move(className)) {}
    std::shared_ptr<RawRecord> set(const QString &key, Field value)
    {
        fields_.emplace_back(key, std::move(value));
        return shared_from_this();
    }

    QString archiveClassName() const override { return className_; }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        for (const auto &[key, value] : fields_) {
            if (const int *i = std::get_if<int>(&value))
                coder.encodeInt(key, *i);
            else if (const double *d = std::get_if<double>(&value))
                coder.encodeDouble(key, *d);
            else if (const bool *b = std::get_if<bool>(&value))
                coder.encodeBool(key, *b);
            else
                coder.encodeObject(key, std::get<cv::ArchiveValue>(value));
        }
    }
    bool initWithCoder(cv::KeyedUnarchiver &) override { return false; }

private:
    QString className_;
    std::vector<std::pair<QString, Field>> fields_;
};

inline std::shared_ptr<RawRecord> raw(const QString &className)
{
    return std::make_shared<RawRecord>(className);
}

} // namespace recordtest
