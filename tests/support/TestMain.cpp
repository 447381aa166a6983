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
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Tests never touch the user's own settings or data folders.
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("Corvane"));
    TestApplication::setApplicationName(QStringLiteral("CorvaneTests"));
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
