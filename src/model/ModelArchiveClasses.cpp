#include "model/ModelArchiveClasses.h"

#include "model/CVUnitModel.h"
#include "platform/KeyedArchiver.h"

#include <mutex>

void registerModelArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One line per class: cv::registerArchivable<Class>(QStringLiteral("Class"));
        cv::registerArchivable<CVUnitModel>(QStringLiteral("CVUnitModel"));
    });
}
