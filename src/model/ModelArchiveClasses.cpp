#include "model/ModelArchiveClasses.h"

#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"
#include "model/CV4Brand.h"
#include "model/CV4Currency.h"
#include "model/CVUnitModel.h"
#include "platform/KeyedArchiver.h"

#include <mutex>

void registerModelArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per class: cv::registerArchivable<Class>(QStringLiteral("Class"));
        cv::registerArchivable<CVUnitModel>(QStringLiteral("CVUnitModel"));
        cv::registerArchivable<CV4Currency>(QStringLiteral("CV4Currency"));
        cv::registerArchivable<CV4Brand>(QStringLiteral("CV4Brand"));
        cv::registerArchivable<CV4AccountModel>(QStringLiteral("CV4AccountModel"));
        cv::registerArchivable<CV4ActualModel>(QStringLiteral("CV4ActualModel"));
    });
}
