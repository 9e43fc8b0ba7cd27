#include "shell/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

namespace {

const QByteArray kActivate = QByteArrayLiteral("ACTIVATE\n");
const QByteArray kDone = QByteArrayLiteral("OK\n");

// A name safe for a socket and a file: the key's readable part plus a hash of all of it.
QString InstanceName(const QString& key)
{
    QString readable;
    for (const QChar c : key) {
        if (c.isLetterOrNumber())
            readable += c.toLower();
    }
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return QStringLiteral("%1-%2-%3").arg(readable.left(24)).arg(uint(getuid())).arg(QString::fromLatin1(hash));
}

} // namespace

TSingleInstance::TSingleInstance(const QString& key, QObject* parent) : QObject(parent)
{
    m_serverName = InstanceName(key);
    m_lockPath = QDir::tempPath() + QLatin1Char('/') + m_serverName + QStringLiteral(".lock");
}

TSingleInstance::~TSingleInstance()
{
    if (m_server)
        m_server->close();
}

bool TSingleInstance::Start()
{
    if (m_server)
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Only a lock whose process is gone is stale; a long-running first instance keeps its own.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        // Another start may be between taking the lock and listening: give it a moment.
        if (m_lock->error() == QLockFile::LockFailedError) {
            AskPrimaryToActivate();
            m_lock.reset();
            return false;
        }
        // The lock cannot be written at all (no temporary folder): run without the guard.
        m_lock.reset();
    }
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left by a crashed instance is stale.
    QLocalServer::removeServer(m_serverName);
    if (!server->listen(m_serverName)) {
        delete server;
        return true;  // this is the only instance; it just cannot be found by a later one
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    return true;
}

void TSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto handle = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            if (line == kActivate) {
                socket->write(kDone);
                socket->flush();
                Q_EMIT ActivationRequested();
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        handle();
    }
}

bool TSingleInstance::AskPrimaryToActivate() const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3000) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(500)) {
            socket.write(kActivate);
            if (socket.waitForBytesWritten(1000) && socket.waitForReadyRead(2000))
                return socket.readLine() == kDone;
            return false;
        }
        QThread::msleep(100);
    }
    return false;
}
