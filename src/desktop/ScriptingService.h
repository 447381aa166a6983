#pragma once
// The scripting commands on the session bus, for other programs:
//
//     service   org.corvane.Corvane
//     object    /org/corvane/Corvane
//     interface org.corvane.Corvane.Scripting
//       UpdateStock(s symbol, a{sv} arguments)
//       UpdateCurrency(s name, a{sv} arguments)
//
// The arguments go by the commands' keys ("Document", "Date", "Price",
// "Currency", "Market"; document/ScriptCommand.h). A refused command answers
// the error org.corvane.Corvane.Error.Refused with the logged reason.

#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

#include <optional>

class QDBusConnection;

namespace cv {

class OpenBooks;

class ScriptingService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvane.Corvane.Scripting")
public:
    static const QString kServiceName;
    static const QString kObjectPath;
    static const QString kRefusedError;

    explicit ScriptingService(OpenBooks &documents, QObject *parent = nullptr);
    // Gives the bus name back, so that a later service can take it.
    ~ScriptingService() override;

    // Puts the service on the connection; false when there is no bus (said
    // once in the log) or the name is taken. The program runs on without it.
    bool registerOn(QDBusConnection connection);

public Q_SLOTS:
    Q_SCRIPTABLE void UpdateStock(const QString &symbol, const QVariantMap &arguments);
    Q_SCRIPTABLE void UpdateCurrency(const QString &name, const QVariantMap &arguments);

private:
    void answer(const std::optional<QString> &refusal);

    OpenBooks &m_documents;   // not owned; outlives the service
    QString m_connectionName; // the bus this service is registered on; empty when none
};

} // namespace cv
