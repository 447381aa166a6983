#include "model/ModelArchiveClasses.h"

#include "model/CV4AssetModel.h"
#include "platform/KeyedArchiver.h"

#include <mutex>

void registerModelArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per class: cv::registerArchivable<Class>(QStringLiteral("Class"));
        cv::registerArchivable<CV4AssetModel>(QStringLiteral("CV4AssetModel"));
        cv::registerArchivable<CV4InvestModel>(QStringLiteral("CV4InvestModel"));
    });
}
