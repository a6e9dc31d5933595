#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace veltrix::gui {
namespace {

constexpr char kActivate[] = "activate\n";
constexpr char kAnswer[] = "ok\n";

QString DefaultFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder;
}

QString SocketPath(const QString& folder) {
    return folder + QString("/veltrix-wireless-%1.socket").arg(::getuid());
}

}  // namespace

SingleInstance::SingleInstance(QString folder)
    : m_folder(folder.isEmpty() ? DefaultFolder() : std::move(folder)) {}

SingleInstance::~SingleInstance() {
    m_server.close();
}

bool SingleInstance::TryBecomePrimary(std::function<void()> onActivate) {
    m_pLock = std::make_unique<QLockFile>(m_folder +
                                          QString("/veltrix-wireless-%1.lock").arg(::getuid()));
    // tryLock takes over a lock whose process is gone, so a crash never blocks the next start.
    if (!m_pLock->tryLock(0)) {
        m_pLock.reset();
        return false;
    }
    m_onActivate = std::move(onActivate);
    const QString path = SocketPath(m_folder);
    QLocalServer::removeServer(path);  // left behind by a crash; we hold the lock
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(path)) {
        qWarning("veltrix-wireless: cannot listen on %s: %s", qPrintable(path),
                 qPrintable(m_server.errorString()));
    }
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server.nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine()) {
                    return;
                }
                if (client->readLine() == kActivate && m_onActivate) {
                    m_onActivate();
                }
                client->write(kAnswer);
                client->flush();
                client->disconnectFromServer();
            });
        }
    });
    return true;
}

bool SingleInstance::ActivateRunning(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(SocketPath(m_folder));
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(kActivate);
    socket.flush();
    // The answer comes once the running window has handled the request, as a synchronous send.
    return socket.waitForReadyRead(timeoutMs) && socket.readLine() == kAnswer;
}

}  // namespace veltrix::gui
