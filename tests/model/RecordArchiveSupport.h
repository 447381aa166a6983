#pragma once
// Helpers for the record tests: archive and decode model records, and write
// archives with keys of our choosing (as older documents or damaged files
// have them).

#include "model/ModelArchiveClasses.h"
#include "platform/KeyedArchiver.h"

#include "ArchiveProbe.h"

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
    cv::registerModelArchiveClasses();
    return cv::KeyedUnarchiver::unarchiveObjectOfClass<T>(data);
}

template <class T> std::shared_ptr<T> roundTrip(const std::shared_ptr<T> &object)
{
    return unarchive<T>(archive(object));
}

// The keys and values the archive holds for its root object.
inline QVariantMap rootFields(const QByteArray &data)
{
    return cvtest::archivedObject(data);
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
