#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace veltrix::gui {
namespace {

constexpr char kActivate[] = "activate";
constexpr char kAnswer[] = "ok\n";
// A request is one short line; anything longer is not ours and is not read on.
constexpr qint64 kLongestRequest = 512;
constexpr char kFolderName[] = "veltrix-wireless";

// A real folder (not a link to one), the user's, that nobody else may enter or change.
bool IsPrivateFolder(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700;
}

QString CacheFolder() {
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(cache)) {
        return cache;
    }
    const QString home = QDir::homePath();
    return home.isEmpty() || home == "/" ? QString() : home + "/.cache";
}

// An activation token is an opaque word of printable ASCII; a token of anything else is dropped
// rather than passed to the desktop.
bool IsToken(const QByteArray& token) {
    return !token.isEmpty() && token.size() <= 256 &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

QString SocketPath(const QString& folder) {
    return folder + QString("/veltrix-wireless-%1.socket").arg(::getuid());
}

}  // namespace

QString SingleInstance::PrivateRuntimeFolder(QString* error) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime)) {
        return runtime;
    }
    const QString cache = CacheFolder();
    const QString folder = cache + '/' + kFolderName + "/run";
    if (!cache.isEmpty()) {
        QDir().mkpath(cache + '/' + kFolderName);
        // Made 0700 from the start: a folder briefly open to others could be entered meanwhile.
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        if (IsPrivateFolder(folder)) {
            return folder;
        }
    }
    if (error != nullptr) {
        *error = QString(
                     "no private folder for the lock and the socket: XDG_RUNTIME_DIR is unset "
                     "or not a folder of your own with mode 0700, and %1 could not be made one")
                     .arg(cache.isEmpty() ? QString("a folder in your cache folder") : folder);
    }
    return {};
}

SingleInstance::SingleInstance(QString folder) : m_folder(std::move(folder)) {}

SingleInstance::~SingleInstance() {
    m_server.close();
}

SingleInstance::Start SingleInstance::TryBecomePrimary(
    std::function<void(const QByteArray& token)> onActivate) {
    if (m_folder.isEmpty()) {
        m_folder = PrivateRuntimeFolder(&m_error);
        if (m_folder.isEmpty()) {
            return Start::Failed;
        }
    }
    const QString lockPath = m_folder + QString("/veltrix-wireless-%1.lock").arg(::getuid());
    m_pLock = std::make_unique<QLockFile>(lockPath);
    // tryLock takes over a lock whose process is gone, so a crash never blocks the next start.
    if (!m_pLock->tryLock(0)) {
        const QLockFile::LockError why = m_pLock->error();
        m_pLock.reset();
        if (why == QLockFile::LockFailedError) {
            return Start::AlreadyRunning;
        }
        m_error = QString("cannot take the lock %1: %2")
                      .arg(lockPath, why == QLockFile::PermissionError ? "permission denied"
                                                                       : "unknown error");
        return Start::Failed;
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
            connect(client, &QLocalSocket::readyRead, this, [this, client] { Answer(client); });
        }
    });
    return Start::Primary;
}

void SingleInstance::Answer(QLocalSocket* client) {
    if (!client->canReadLine()) {
        if (client->bytesAvailable() > kLongestRequest) {
            client->abort();
        }
        return;
    }
    // "activate", then the activation token the desktop gave the later start, if any.
    const QByteArray line = client->readLine(kLongestRequest).trimmed();
    const qsizetype space = line.indexOf(' ');
    const bool activate = (space < 0 ? line : line.first(space)) == kActivate;
    QByteArray token = space < 0 ? QByteArray() : line.mid(space + 1);
    if (!IsToken(token)) {
        token.clear();
    }
    client->write(kAnswer);
    client->flush();
    client->disconnectFromServer();
    // Acted on from the event loop, after this handler has returned: showing the window may open
    // a modal box, and the socket may be gone by the time it closes.
    if (activate && m_onActivate) {
        QMetaObject::invokeMethod(
            this, [this, token] { m_onActivate(token); }, Qt::QueuedConnection);
    }
}

bool SingleInstance::ActivateRunning(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(SocketPath(m_folder));
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    // The desktop hands a started program a token that lets it raise a window (Wayland's
    // activation); this start has no window of its own, so the token goes to the one that has.
    QByteArray request = kActivate;
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (IsToken(token)) {
        request += ' ' + token;
    }
    socket.write(request + '\n');
    socket.flush();
    return socket.waitForReadyRead(timeoutMs) && socket.readLine() == kAnswer;
}

}  // namespace veltrix::gui
