#pragma once

// One program per user: the first start holds a lock file and listens on a local socket; a later
// start asks it to show itself and waits for the answer. A lock left by a program that died is
// taken over.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace veltrix::gui {

class SingleInstance final : public QObject {
    Q_OBJECT

  public:
    // `folder` holds the lock and the socket: the user's runtime folder by default.
    explicit SingleInstance(QString folder = {});
    ~SingleInstance() override;

    // True when this is the only instance; it then answers later starts through `onActivate`.
    bool TryBecomePrimary(std::function<void()> onActivate);
    // Asks the running instance to show itself; true when it answered.
    bool ActivateRunning(int timeoutMs = 5000) const;

  private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_pLock;
    QLocalServer m_server;
    std::function<void()> m_onActivate;
};

}  // namespace veltrix::gui
