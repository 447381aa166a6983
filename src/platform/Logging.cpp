#include "platform/Logging.h"

namespace cv {

Q_LOGGING_CATEGORY(lcPlatform, "corvane.platform")
Q_LOGGING_CATEGORY(lcModel, "corvane.model")
Q_LOGGING_CATEGORY(lcDocument, "corvane.document")
Q_LOGGING_CATEGORY(lcAssert, "corvane.assert")

} // namespace cv
