#include "desktop/ScriptingService.h"

#include "document/OpenBooks.h"
#include "document/UpdateCurrencyCommand.h"
#include "document/UpdateStockCommand.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>

namespace cv {

const QString ScriptingService::kServiceName = QStringLiteral("org.corvane.Corvane");
const QString ScriptingService::kObjectPath = QStringLiteral("/org/corvane/Corvane");
const QString ScriptingService::kRefusedError = QStringLiteral("org.corvane.Corvane.Error.Refused");

namespace {

std::vector<Book *> openDocuments(const OpenBooks &controller)
{
    std::vector<Book *> documents;
    for (const auto &document : controller.documents()) documents.push_back(document.get());
    return documents;
}

} // namespace

ScriptingService::ScriptingService(OpenBooks &documents, QObject *parent) : QObject(parent), m_documents(documents) {}

ScriptingService::~ScriptingService()
{
    if (m_connectionName.isEmpty()) return;
    QDBusConnection connection(m_connectionName);
    connection.unregisterObject(kObjectPath);
    connection.unregisterService(kServiceName);
}

bool ScriptingService::registerOn(QDBusConnection connection)
{
    if (!connection.isConnected()) {
        static bool said = false;
        if (!said) qCInfo(lcScripting).noquote() << "no session bus: scripting commands are not available";
        said = true;
        return false;
    }
    if (!connection.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots)) {
        qCWarning(lcScripting).noquote() << "could not register the scripting object:"
                                         << connection.lastError().message();
        return false;
    }
    if (!connection.registerService(kServiceName)) {
        qCWarning(lcScripting).noquote() << "could not take the bus name" << kServiceName << ":"
                                         << connection.lastError().message();
        connection.unregisterObject(kObjectPath);
        return false;
    }
    m_connectionName = connection.name();
    return true;
}

void ScriptingService::UpdateStock(const QString &symbol, const QVariantMap &arguments)
{
    UpdateStockCommand command(symbol, arguments);
    answer(command.performDefaultImplementation(openDocuments(m_documents)));
}

void ScriptingService::UpdateCurrency(const QString &name, const QVariantMap &arguments)
{
    UpdateCurrencyCommand command(name, arguments);
    answer(command.performDefaultImplementation(openDocuments(m_documents)));
}

void ScriptingService::answer(const std::optional<QString> &refusal)
{
    // A caller must not take a refused command for a recorded value.
    if (refusal && calledFromDBus()) sendErrorReply(kRefusedError, *refusal);
}

} // namespace cv
