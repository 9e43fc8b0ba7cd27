#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One running program per user. The first start holds a lock file and listens on a local
// socket; a later start finds the lock taken, asks the first through the socket to come to
// the front and must then end. The lock of a crashed program is stale (its process is gone)
// and is taken over, so a crash never blocks the next start.
class TSingleInstance : public QObject
{
    Q_OBJECT
public:
    // key names the program ("Quillon PRO"); the user's id is added, so each user has one.
    explicit TSingleInstance(const QString& key, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this is the first instance (it now listens); false when another one runs and
    // was asked to come to the front: the caller ends at once.
    bool Start();
    bool IsPrimary() const { return m_server != nullptr; }

    QString ServerName() const { return m_serverName; }
    QString LockFilePath() const { return m_lockPath; }

Q_SIGNALS:
    // A later start asked for the window: raise and activate it (restore it when minimised).
    void ActivationRequested();

private:
    void OnNewConnection();
    bool AskPrimaryToActivate() const;

    QString m_serverName;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
