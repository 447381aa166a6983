#include "platform/LongOperations.h"

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
    Q_ASSERT(m_depth > 0);
    if (m_depth == 0) return;   // an unmatched exit must not hide a running operation
    --m_depth;
    Q_EMIT exitLongOp(source);
}

} // namespace cv
