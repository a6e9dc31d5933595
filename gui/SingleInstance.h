#pragma once

// One program per user: the first start holds a lock file and listens on a local socket; a later
// start asks it to show itself and waits for the answer. A lock left by a program that died is
// taken over. Both live in a folder that only the user can enter, so another local user can
// neither take the lock first nor receive the request.

#include <QLockFile>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <functional>
#include <memory>

#include "platform/Fd.h"

namespace veltrix::gui {

class SingleInstance final : public QObject {
    Q_OBJECT

  public:
    enum class Start { Primary, AlreadyRunning, Failed };

    // `folder` holds the lock and the socket: by default PrivateRuntimeFolder().
    explicit SingleInstance(QString folder = {});
    ~SingleInstance() override;

    // The user's runtime folder when it is the user's own and closed to others (0700), else a
    // folder of that kind under the user's cache folder, created when missing. Empty, with
    // `error` set, when neither can be had.
    static QString PrivateRuntimeFolder(QString* error = nullptr);

    // Primary when this is the only instance; it then answers later starts and, once the answer
    // is on its way, calls `onActivate` from the event loop. Failed, with ErrorText() set, when
    // the lock cannot be taken for another reason than a program holding it. `onActivate` gets
    // the later start's activation token (empty when it had none).
    Start TryBecomePrimary(std::function<void(const QByteArray& token)> onActivate);
    // Asks the running instance to show itself, passing on this start's XDG_ACTIVATION_TOKEN;
    // true when it answered.
    bool ActivateRunning(int timeoutMs = 5000) const;
    QString ErrorText() const { return m_error; }

  private:
    class Client;
    void Listen(const QString& path);
    void Accept();
    void Read(Client* client);

    QString m_folder;
    QString m_error;
    std::unique_ptr<QLockFile> m_pLock;
    QString m_socketPath;  // set while we listen there
    Fd m_listener;
    std::unique_ptr<QSocketNotifier> m_pListening;
    std::function<void(const QByteArray& token)> m_onActivate;
};

}  // namespace veltrix::gui
