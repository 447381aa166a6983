#pragma once
// Reads back what an archive holds for one object, so tests can check the
// stored keys and value types and not only a round trip.

#include <plist/plist.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <cstdint>
#include <memory>

namespace cvtest {

// The object's values by key, "$class" left out. Plain values come back as
// qint64, double, bool or QString; a reference to "$null" as an invalid
// QVariant; a reference to an archived string as that QString; a reference to
// any other object as the text "<object>". Path names the keys to follow
// from the root object. An empty map when anything is missing. `order`, when
// given, receives the keys in the order they are stored.
inline QVariantMap archivedObject(const QByteArray &data, const QStringList &path = {}, QStringList *order = nullptr)
{
    plist_t raw = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &raw);
    std::unique_ptr<void, void (*)(plist_t)> root(raw, plist_free);
    if (!raw) return {};
    plist_t objects = plist_dict_get_item(raw, "$objects");
    plist_t top = plist_dict_get_item(raw, "$top");
    if (!objects || !top) return {};

    auto resolve = [&](plist_t node) -> plist_t {
        if (!node || plist_get_node_type(node) != PLIST_UID) return node;
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return plist_array_get_item(objects, uint32_t(uid));
    };
    plist_t object = resolve(plist_dict_get_item(top, "root"));
    for (const QString &key : path) {
        if (!object || plist_get_node_type(object) != PLIST_DICT) return {};
        object = resolve(plist_dict_get_item(object, key.toUtf8().constData()));
    }
    if (!object || plist_get_node_type(object) != PLIST_DICT) return {};

    auto plainValue = [](plist_t node) -> QVariant {
        switch (plist_get_node_type(node)) {
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return QVariant::fromValue(qint64(v));
        }
        case PLIST_REAL: {
            double v = 0;
            plist_get_real_val(node, &v);
            return v;
        }
        case PLIST_BOOLEAN: {
            uint8_t v = 0;
            plist_get_bool_val(node, &v);
            return bool(v);
        }
        case PLIST_STRING: {
            char *s = nullptr;
            plist_get_string_val(node, &s);
            QString text = QString::fromUtf8(s);
            free(s);
            return text;
        }
        default: return QStringLiteral("<object>");
        }
    };

    QVariantMap out;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(object, &it);
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(object, it, &key, &value);
        if (!key) break;
        const QString name = QString::fromUtf8(key);
        free(key);
        if (name == u"$class") continue;
        if (order) order->append(name);
        if (plist_get_node_type(value) == PLIST_UID) {
            plist_t target = resolve(value);
            QVariant v = plainValue(target);
            if (v.toString() == u"$null") v = QVariant();
            out.insert(name, v);
        } else {
            out.insert(name, plainValue(value));
        }
    }
    free(it);
    return out;
}

} // namespace cvtest
