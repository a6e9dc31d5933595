#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace veltrix::gui {
namespace {

constexpr char kActivate[] = "activate";
constexpr char kAnswer[] = "ok\n";
// A request is one short line; anything longer is not ours and is not read on.
constexpr qsizetype kLongestRequest = 512;
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

// False when the path does not fit in a socket address.
bool SocketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}

}  // namespace

// One accepted connection: its socket, the notice that it can be read, and what came so far.
class SingleInstance::Client final : public QSocketNotifier {
  public:
    Client(int fd, QObject* parent)
        : QSocketNotifier(fd, QSocketNotifier::Read, parent), m_fd(fd) {}
    ~Client() override { setEnabled(false); }

    int Socket() const { return m_fd.Get(); }
    QByteArray& Request() { return m_request; }
    // Closed at once, so the peer sees the end now; the notifier goes once its notice returns.
    void Close() {
        setEnabled(false);
        m_fd.Reset(-1);
        deleteLater();
    }

  private:
    veltrix::Fd m_fd;
    QByteArray m_request;
};

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
    if (!m_socketPath.isEmpty()) {
        m_pListening.reset();
        m_listener.Reset(-1);
        ::unlink(QFile::encodeName(m_socketPath).constData());
    }
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
    Listen(SocketPath(m_folder));
    return Start::Primary;
}

void SingleInstance::Listen(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());  // left behind by a crash; we hold the lock
    sockaddr_un address{};
    const char* failure = nullptr;
    m_listener.Reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!SocketAddress(path, address)) {
        failure = "the path is too long for a socket";
    } else if (m_listener.Get() < 0 ||
               ::bind(m_listener.Get(), reinterpret_cast<const sockaddr*>(&address),
                      sizeof(address)) != 0) {
        failure = std::strerror(errno);
    } else if (::chmod(name.constData(), S_IRWXU) != 0 || ::listen(m_listener.Get(), 50) != 0) {
        failure = std::strerror(errno);
        ::unlink(name.constData());
    }
    if (failure != nullptr) {
        m_listener.Reset(-1);
        qWarning("veltrix-wireless: cannot listen on %s: %s", name.constData(), failure);
        return;
    }
    m_socketPath = path;
    m_pListening = std::make_unique<QSocketNotifier>(m_listener.Get(), QSocketNotifier::Read);
    connect(m_pListening.get(), &QSocketNotifier::activated, this, &SingleInstance::Accept);
}

void SingleInstance::Accept() {
    for (;;) {
        const int fd = ::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            auto* client = new Client(fd, this);
            connect(client, &QSocketNotifier::activated, this, [this, client] { Read(client); });
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            // Out of descriptors, most likely: the socket stays readable, so rather than spin on
            // it, look again in a while.
            m_pListening->setEnabled(false);
            QTimer::singleShot(std::chrono::seconds(1), m_pListening.get(),
                               [notifier = m_pListening.get()] { notifier->setEnabled(true); });
        }
        return;
    }
}

void SingleInstance::Read(Client* client) {
    // Never blocks, and never holds more than one request's worth of a client's bytes.
    QByteArray& request = client->Request();
    char chunk[kLongestRequest];
    qsizetype end = -1;
    while (end < 0) {
        const ssize_t got = ::recv(client->Socket(), chunk,
                                   static_cast<std::size_t>(kLongestRequest - request.size()), 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;  // the rest of the line comes later
        }
        if (got <= 0) {
            client->Close();  // gone, or failed, before a whole line
            return;
        }
        const qsizetype from = request.size();
        request.append(chunk, got);
        end = request.indexOf('\n', from);
        if (end < 0 && request.size() >= kLongestRequest) {
            client->Close();
            return;
        }
    }
    // "activate", then the activation token the desktop gave the later start, if any.
    const QByteArray line = request.first(end).trimmed();
    const qsizetype space = line.indexOf(' ');
    const bool activate = (space < 0 ? line : line.first(space)) == kActivate;
    QByteArray token = space < 0 ? QByteArray() : line.mid(space + 1);
    if (!IsToken(token)) {
        token.clear();
    }
    // The answer fits in the socket's empty buffer; a client already gone costs an error, not a
    // signal.
    ::send(client->Socket(), kAnswer, sizeof(kAnswer) - 1, MSG_NOSIGNAL);
    client->Close();
    // Acted on from the event loop, after this handler has returned: showing the window may open
    // a modal box, and the socket may be gone by the time it closes.
    if (activate && m_onActivate) {
        QMetaObject::invokeMethod(
            this, [this, token] { m_onActivate(token); }, Qt::QueuedConnection);
    }
}

bool SingleInstance::ActivateRunning(int timeoutMs) const {
    using Clock = std::chrono::steady_clock;
    sockaddr_un address{};
    const Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0 || !SocketAddress(SocketPath(m_folder), address)) {
        return false;
    }
    // A first instance too busy to take the connection is waited for, up to the timeout.
    const timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof(wait));
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return false;
    }
    // The desktop hands a started program a token that lets it raise a window (Wayland's
    // activation); this start has no window of its own, so the token goes to the one that has.
    QByteArray request = kActivate;
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (IsToken(token)) {
        request += ' ' + token;
    }
    request += '\n';
    if (::send(fd.Get(), request.constData(), static_cast<std::size_t>(request.size()),
               MSG_NOSIGNAL) != request.size()) {
        return false;
    }
    // The answer is one short line, waited for up to the timeout.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < kLongestRequest) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd.Get(), POLLIN, 0};
        if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) == 0) {
            return false;
        }
        char chunk[64];
        const ssize_t got = ::recv(fd.Get(), chunk, sizeof(chunk), MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        answer.append(chunk, got);
    }
    return answer.first(answer.indexOf('\n') + 1) == kAnswer;
}

}  // namespace veltrix::gui
