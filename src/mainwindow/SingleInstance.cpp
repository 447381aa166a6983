#include "mainwindow/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {
constexpr int kTimeoutMs = 2000;
constexpr qint64 kMaxMessage = 1 << 20; // a list of paths, never more

// A folder of this user's that no one else may enter.
bool isPrivateFolder(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

bool peerIs(qintptr descriptor, uint uid)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == uid;
}

} // namespace

// A socket in the shared /tmp could be taken first by another user, who
// would then silence every start and read the paths of the books opened.
QString SingleInstance::defaultServerName()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!isPrivateFolder(folder)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/corvane");
        if (QDir().mkpath(folder))
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!isPrivateFolder(folder)) return QString();
    }
    // The home folder tells apart two programs of one user with other homes.
    const QByteArray home = QDir::homePath().toUtf8();
    return folder + QStringLiteral("/corvane-") +
           QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha256).toHex().left(16));
}

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent), m_serverName(serverName), m_peerUser(::getuid())
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::handOffOrListen(const QStringList &files)
{
    if (m_serverName.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    const bool answered = socket.waitForConnected(kTimeoutMs);
    if (answered && peerIs(socket.socketDescriptor(), m_peerUser)) {
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
    if (answered) {
        // Someone else's listener: it stays, and this program runs alone.
        socket.abort();
        return false;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A crashed instance leaves its socket file behind.
    if (!m_server->listen(m_serverName)) {
        QLocalServer::removeServer(m_serverName);
        m_server->listen(m_serverName);
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readConnection);
    return false;
}

void SingleInstance::readConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!peerIs(socket->socketDescriptor(), m_peerUser)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
