#pragma once
// An impossible state, checked in every build: a debug build stops where it
// happens; a release build logs it (category corvane.assert) and takes the
// safe branch the caller names, so a slip costs a warning, never a crash.
//
//     CV_ASSERT_OR(row < count(), return QString());
//
// The branch may hold several statements, commas and all.

#include "platform/Logging.h"

#define CV_ASSERT_OR(condition, ...)                                                                                   \
    do {                                                                                                               \
        if (Q_UNLIKELY(!(condition))) {                                                                                \
            qCWarning(cv::lcAssert, "impossible state: %s (%s:%d)", #condition, __FILE__, __LINE__);                   \
            Q_ASSERT_X(false, Q_FUNC_INFO, #condition);                                                                \
            __VA_ARGS__;                                                                                               \
        }                                                                                                              \
    } while (false)
