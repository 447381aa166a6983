// Shared main of every test executable.
#include <gmock/gmock.h>

#ifdef CV_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <QStandardPaths>

int main(int argc, char **argv)
{
#ifdef CV_TEST_WIDGETS
    // Offscreen unless a run asks for a real display (scripts/first-hour.sh: xcb under Xvfb).
    const QByteArray platform = qgetenv("CV_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
#endif
    // Tests never touch the user's own settings or data folders.
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("Corvane"));
    TestApplication::setApplicationName(QStringLiteral("CorvaneTests"));
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
