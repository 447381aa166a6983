#pragma once
// One program per user: the first instance listens on a local socket in a
// folder only its user can enter ($XDG_RUNTIME_DIR, else a 0700 folder of
// the user's cache); a later launch hands its file arguments over and exits.
// Either end talks only to a peer of its own user.

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace cv {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The per-user path of the application's socket; empty when no private
    // folder can be had (the program then runs alone, without a socket).
    static QString defaultServerName();

    explicit SingleInstance(const QString &serverName = defaultServerName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another instance took the files: this one should exit.
    // Otherwise this instance listens and answers false.
    bool handOffOrListen(const QStringList &files);
    bool isListening() const;
    // The user a peer must run as: this process's (tests fake another).
    void setPeerUser(uint uid) { m_peerUser = uid; }

Q_SIGNALS:
    // Absolute paths from a later launch.
    void filesReceived(const QStringList &files);

private:
    void readConnection();

    QString m_serverName;
    QLocalServer *m_server = nullptr; // child, while listening
    uint m_peerUser;                  // the only user a peer may run as
};

} // namespace cv
