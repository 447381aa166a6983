#include "mainwindow/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace cv {

namespace {
constexpr int kTimeoutMs = 2000;
constexpr qint64 kMaxMessage = 1 << 20;  // a list of paths, never more
} // namespace

QString SingleInstance::defaultServerName()
{
    // The home folder tells users apart without reading the user database.
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("corvane-") +
           QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha256).toHex().left(16));
}

SingleInstance::SingleInstance(const QString &serverName, QObject *parent) : QObject(parent), m_serverName(serverName)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::handOffOrListen(const QStringList &files)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(kTimeoutMs)) {
        QStringList absolute;
        for (const QString &file : files) absolute.append(QFileInfo(file).absoluteFilePath());
        const QByteArray message = absolute.join(QLatin1Char('\n')).toUtf8() + '\0';
        socket.write(message);
        if (socket.waitForBytesWritten(kTimeoutMs)) {
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kTimeoutMs);
            return true;
        }
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // A crashed instance leaves its socket file behind.
        QLocalServer::removeServer(m_serverName);
        m_server->listen(m_serverName);
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readConnection);
    return false;
}

void SingleInstance::readConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage) {
                socket->abort();
                return;
            }
            const qsizetype end = buffer->indexOf('\0');
            if (end < 0) return;
            QStringList files = QString::fromUtf8(buffer->left(end)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            buffer->clear();
            Q_EMIT filesReceived(files);
        });
    }
}

} // namespace cv
