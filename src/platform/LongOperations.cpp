#include "platform/LongOperations.h"

#include "platform/Assert.h"

namespace cv {

LongOperations &LongOperations::instance()
{
    static LongOperations hub;
    return hub;
}

void LongOperations::enter(const QObject *source)
{
    ++m_depth;
    Q_EMIT enterLongOp(source);
}

void LongOperations::exit(const QObject *source)
{
    // An unmatched exit must not hide a running operation.
    CV_ASSERT_OR(m_depth > 0, return );
    --m_depth;
    Q_EMIT exitLongOp(source);
}

} // namespace cv
