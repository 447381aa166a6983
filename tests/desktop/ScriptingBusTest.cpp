// The scripting commands over a private session bus (CTest runs this
// executable under dbus-run-session): gdbus against the service in this
// process and against the program itself.
#include "DesktopTestSupport.h"

#include "desktop/ScriptingService.h"

#include <gmock/gmock.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>

using ::testing::HasSubstr;

namespace {

class ScriptingBusTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (!QDBusConnection::sessionBus().isConnected() || !hasTool("gdbus"))
            GTEST_SKIP() << "needs a session bus and gdbus (scripts/install-deps.sh)";
    }

    // The program itself, on its own home and data folders.
    QProcessEnvironment programEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *key : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            env.insert(QLatin1String(key), path(QStringLiteral("program/") + QLatin1String(key)));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The single-instance socket lives in the temporary folder: keep it in ours.
        const QString temporary = path(QStringLiteral("program/tmp"));
        QDir().mkpath(temporary);
        env.insert(QStringLiteral("TMPDIR"), temporary);
        return env;
    }
};

TEST_F(ScriptingBusTest, GdbusCallsRecordAPriceAndARateThatTheSavedBookKeeps)
{
    const QString file = bookWithDollars(QStringLiteral("scripted.cvv2"));
    delegate->openFiles({file});
    ASSERT_EQ(documentCount(), 1u);
    cv::ScriptingService service(delegate->openBooks());
    ASSERT_TRUE(service.registerOn(QDBusConnection::sessionBus()));

    const ProcessResult stock = gdbusCall(
        QStringLiteral("UpdateStock"), QStringLiteral("'ACME'"),
        QStringLiteral("{'Price': <'1,234.5'>, 'Date': <'2009-06-01'>, 'Currency': <'USD'>, 'Market': <'NYSE'>}"));
    EXPECT_EQ(stock.exitCode, 0) << stock.err.toStdString();
    const ProcessResult rate =
        gdbusCall(QStringLiteral("UpdateCurrency"), QStringLiteral("'USD'"),
                  QStringLiteral("{'Price': <'151.25'>, 'Date': <'2009/06/02'>, 'Document': <1>}"));
    EXPECT_EQ(rate.exitCode, 0) << rate.err.toStdString();

    // A refusal reaches the caller as an error naming the reason.
    struct Refusal {
        const char *method, *direct, *arguments, *reason;
    };
    const Refusal refusals[] = {
        {"UpdateCurrency", "'USD'", "{'Price': <'1e999'>}", "price <= 0: 1e999"},
        {"UpdateCurrency", "'USD'", "{'Price': <'2'>, 'Document': <2>}", "1 docs available.  Cannot specify doc 2"},
        {"UpdateStock", "'NEW'", "{'Price': <'2'>, 'Currency': <'USD'>, 'Market': <'LSE'>}",
         "new brand must specify a valid stock market. Market: LSE unknown."},
    };
    for (const Refusal &r : refusals) {
        const ProcessResult refused =
            gdbusCall(QLatin1String(r.method), QLatin1String(r.direct), QLatin1String(r.arguments));
        EXPECT_NE(refused.exitCode, 0) << r.reason;
        EXPECT_THAT(refused.err.toStdString(), HasSubstr("org.corvane.Corvane.Error.Refused"));
        EXPECT_THAT(refused.err.toStdString(), HasSubstr(r.reason));
    }

    cv::Book *document = delegate->openBooks().documents().front().get();
    ASSERT_TRUE(delegate->openBooks().saveDocument(document));
    delegate->openBooks().closeDocument(document, false);

    cv::Book saved;
    ASSERT_TRUE(saved.initWithContentsOfFile(file, cv::Book::kTypeV2));
    const auto &securities = saved.securityList();
    const auto acme = std::find_if(securities.begin(), securities.end(),
                                   [](const cv::SecurityPtr &b) { return b->symbol() == QLatin1String("ACME"); });
    ASSERT_NE(acme, securities.end());
    EXPECT_EQ((*acme)->market(), 20);
    EXPECT_DOUBLE_EQ(saved.securityPrice(*acme, QDate(2009, 6, 1)), 1234.5);
    const auto &currencies = saved.currencyList();
    const auto usd = std::find_if(currencies.begin(), currencies.end(),
                                  [](const cv::CurrencyPtr &c) { return c->name() == QLatin1String("USD"); });
    ASSERT_NE(usd, currencies.end());
    EXPECT_DOUBLE_EQ(saved.currencyRate(*usd, QDate(2009, 6, 2)), 151.25);
    EXPECT_EQ(std::find_if(securities.begin(), securities.end(),
                           [](const cv::SecurityPtr &b) { return b->symbol() == QLatin1String("NEW"); }),
              securities.end());
}

// The program registers the service at start, and a file handed over by a
// later launch (as the desktop entry's %F does) opens in the running program.
TEST_F(ScriptingBusTest, TheProgramServesTheBusAndTakesFilesFromALaterLaunch)
{
    const QString first = bookWithDollars(QStringLiteral("first.cvv2"));
    const QString second = bookWithDollars(QStringLiteral("second.cvv2"));
    QProcess program;
    program.setProcessEnvironment(programEnvironment());
    program.start(QStringLiteral(CV_CORVANE_BINARY), {first});
    ASSERT_TRUE(program.waitForStarted(10000));
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    const bool up =
        QTest::qWaitFor([&] { return bus->isServiceRegistered(QStringLiteral("org.corvane.Corvane")).value(); }, 30000);
    EXPECT_TRUE(up) << program.readAllStandardError().toStdString();
    if (up) {
        const QString price = QStringLiteral("{'Price': <'140'>, 'Document': <2>}");
        EXPECT_THAT(gdbusCall(QStringLiteral("UpdateCurrency"), QStringLiteral("'USD'"), price).err.toStdString(),
                    HasSubstr("1 docs available.  Cannot specify doc 2"));

        const ProcessResult later = runProcess(QStringLiteral(CV_CORVANE_BINARY), {second}, programEnvironment());
        EXPECT_EQ(later.exitCode, 0) << later.err.toStdString();
        const bool opened = QTest::qWaitFor(
            [&] { return gdbusCall(QStringLiteral("UpdateCurrency"), QStringLiteral("'USD'"), price).exitCode == 0; },
            20000);
        EXPECT_TRUE(opened) << "the second book never reached the running program";
    }
    program.kill();
    program.waitForFinished();
}

TEST_F(ScriptingBusTest, WithoutASessionBusTheProgramRunsAndSaysSoOnce)
{
    const QString book = bookWithDollars(QStringLiteral("alone.cvv2"));
    QProcessEnvironment env = programEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + path(QStringLiteral("no-bus")));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(CV_CORVANE_BINARY), {book});
    ASSERT_TRUE(program.waitForStarted(10000));
    QString log;
    const bool said = QTest::qWaitFor(
        [&] {
            log += QString::fromUtf8(program.readAllStandardError());
            return log.contains(QLatin1String("opened v3 database")) && log.contains(QLatin1String("no session bus"));
        },
        30000);
    EXPECT_TRUE(said) << log.toStdString();
    EXPECT_EQ(program.state(), QProcess::Running) << log.toStdString();
    EXPECT_EQ(log.count(QLatin1String("no session bus")), 1);
    program.kill();
    program.waitForFinished();
}

} // namespace
