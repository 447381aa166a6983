#include "model/CV4Grouping.h"

#include "model/ArchiveStrings.h"

CV4GroupingPtr CV4Grouping::copy() const
{
    auto g = std::make_shared<CV4Grouping>();
    g->name_ = name_;
    g->ident_ = ident_;
    return g;
}

void CV4Grouping::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("id"), ident_);
    coder.encodeObject(QStringLiteral("name"), cv::archiveOptionalString(name_));
}

bool CV4Grouping::initWithCoder(cv::KeyedUnarchiver &coder)
{
    ident_ = coder.decodeIntForKey(QStringLiteral("id"));
    name_ = cv::decodeOptionalString(coder, QStringLiteral("name"));
    return !coder.failed();
}
