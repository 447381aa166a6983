#pragma once
// One program per user: the first instance listens on a local socket; a
// later launch hands its file arguments over and exits.

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace cv {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The per-user name of the application's socket.
    static QString defaultServerName();

    explicit SingleInstance(const QString &serverName = defaultServerName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another instance took the files: this one should exit.
    // Otherwise this instance listens and answers false.
    bool handOffOrListen(const QStringList &files);
    bool isListening() const;

Q_SIGNALS:
    // Absolute paths from a later launch.
    void filesReceived(const QStringList &files);

private:
    void readConnection();

    QString m_serverName;
    QLocalServer *m_server = nullptr;  // child, while listening
};

} // namespace cv
