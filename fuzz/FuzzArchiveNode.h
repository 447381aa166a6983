#pragma once
// An archived class for the keyed-archive fuzzer and its seeds: it reads
// every kind of field, so mutations reach every decoding path.

#include "platform/KeyedArchiver.h"

class FuzzArchiveNode : public cv::KeyedArchivable {
public:
    std::int64_t ident = 0;
    double amount = 0;
    bool flag = false;
    QString name;
    std::vector<std::shared_ptr<FuzzArchiveNode>> children;
    std::shared_ptr<FuzzArchiveNode> link;
    cv::ArchiveValue extra;

    QString archiveClassName() const override { return QStringLiteral("FuzzArchiveNode"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeInt(QStringLiteral("ident"), ident);
        coder.encodeDouble(QStringLiteral("amount"), amount);
        coder.encodeBool(QStringLiteral("flag"), flag);
        if (!name.isNull()) coder.encodeObject(QStringLiteral("name"), name);
        if (!children.empty()) coder.encodeObject(QStringLiteral("children"), cv::ArchiveValue::arrayOf(children));
        if (link) coder.encodeObject(QStringLiteral("link"), link);
        if (!extra.isNull()) coder.encodeObject(QStringLiteral("extra"), extra);
    }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        ident = coder.decodeInt64ForKey(QStringLiteral("ident"));
        amount = coder.decodeDoubleForKey(QStringLiteral("amount"));
        flag = coder.decodeBoolForKey(QStringLiteral("flag"));
        name = coder.decodeStringForKey(QStringLiteral("name")).value_or(QString());
        if (auto c = coder.decodeArrayOfClassForKey<FuzzArchiveNode>(QStringLiteral("children")))
            children = std::move(*c);
        link = coder.decodeObjectOfClassForKey<FuzzArchiveNode>(QStringLiteral("link"));
        extra = coder.decodeObjectForKey(QStringLiteral("extra"));
        coder.containsValueForKey(QStringLiteral("missing"));
        return !coder.failed();
    }
};

inline void registerFuzzArchiveNode()
{
    static const bool once = [] {
        cv::registerArchivable<FuzzArchiveNode>(QStringLiteral("FuzzArchiveNode"));
        return true;
    }();
    (void)once;
}
