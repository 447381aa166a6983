#pragma once
// Outside programs run while this process keeps serving its event loop (the
// scripting service answers gdbus from here), and a saved book to work on.

#include "mainwindow/MainWindowTestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

struct ProcessResult {
    int exitCode = -1; // -1: did not start, crashed or timed out
    QString out;
    QString err;
};

inline ProcessResult runProcess(const QString &program, const QStringList &arguments,
                                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForStarted(10000)) return result;
    const bool finished = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    if (finished && process.exitStatus() == QProcess::NormalExit) result.exitCode = process.exitCode();
    return result;
}

// Calls a scripting method with gdbus on the session bus.
inline ProcessResult gdbusCall(const QString &method, const QString &direct, const QString &arguments)
{
    return runProcess(QStringLiteral("gdbus"),
                      {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                       QStringLiteral("org.corvane.Corvane"), QStringLiteral("--object-path"),
                       QStringLiteral("/org/corvane/Corvane"), QStringLiteral("--method"),
                       QStringLiteral("org.corvane.Corvane.Scripting.") + method, direct, arguments});
}

inline bool hasTool(const char *name)
{
    return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty();
}

class DesktopTest : public DelegateTest {
protected:
    // A saved and closed book with the currencies JPY and USD.
    QString bookWithDollars(const QString &name)
    {
        cv::Book *document = delegate->newDocument();
        EXPECT_NE(document, nullptr);
        if (!document) return {};
        if (std::none_of(document->currencyList().begin(), document->currencyList().end(),
                         [](const cv::CurrencyPtr &c) { return c->name() == QLatin1String("USD"); })) {
            document->addCurrency(
                cv::Currency::currencyWith(QStringLiteral("USD"), QStringLiteral("USD"), QStringLiteral("$"), 2));
            document->commitCurrencyList();
        }
        const QString file = path(name);
        EXPECT_TRUE(delegate->openBooks().saveDocumentAs(document, file));
        delegate->openBooks().closeDocument(document, false);
        return file;
    }
};
