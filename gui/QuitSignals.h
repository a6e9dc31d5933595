#pragma once

// SIGTERM and SIGINT, turned into a Qt signal on the UI thread. The handler only writes a byte to
// a pipe (nothing else is safe inside a signal handler); the event loop reads it and emits
// Received, so quitting by signal takes the same path as Quit from the menu.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace veltrix::gui {

class QuitSignals final : public QObject {
    Q_OBJECT

  public:
    // Installs the handlers; one object per process.
    QuitSignals();
    // Restores the default handlers, so a signal after this ends the process as usual.
    ~QuitSignals() override;

  Q_SIGNALS:
    void Received(int signalNumber);

  private:
    void ReadPipe();

    std::unique_ptr<QSocketNotifier> m_pNotifier;
};

}  // namespace veltrix::gui
