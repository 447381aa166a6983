#include "platform/Assert.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

namespace {

// A branch of several statements, commas and all.
std::pair<int, int> pairOr(const int *p, int &taken)
{
    CV_ASSERT_OR(p != nullptr, ++taken; return {-1, -2});
    return {*p, *p};
}

} // namespace

TEST(ImpossibleState, APassingConditionTakesNoBranchAFailingOneStopsADebugBuildOrIsLoggedAndAnswered)
{
    const int one = 1;
    int taken = 0;
    EXPECT_EQ(pairOr(&one, taken), std::make_pair(1, 1));
    EXPECT_EQ(taken, 0);
#ifdef QT_NO_DEBUG
    static QStringList logged;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &text) {
            logged << QString::fromLatin1(context.category) + u' ' + text;
        });
    EXPECT_EQ(pairOr(nullptr, taken), std::make_pair(-1, -2));
    qInstallMessageHandler(previous);
    EXPECT_EQ(taken, 1);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].startsWith(QStringLiteral("corvane.assert impossible state: p != nullptr (")))
        << logged[0].toStdString();
#else
    EXPECT_DEATH(pairOr(nullptr, taken), "p != nullptr");
#endif
}
