#pragma once

// The input hooks where the desktop offers no way to watch all input (a Wayland session without
// Xwayland, an X server without RECORD): keys and mouse buttons are seen while one of the
// program's own windows has them, and reported exactly as the hook plugin reports them.

#include <QObject>

#include "platform/HookLibrary.h"

namespace veltrix::gui {

class InWindowHooks final : public QObject, public HookLibrary {
    Q_OBJECT

  public:
    InWindowHooks();
    ~InWindowHooks() override;

    void installmousehook(const VeltrixWindowHandle& window) override;
    void removemousehook() override;
    void enablemousehook(std::int32_t enable) override { m_bMouseEnabled = enable != 0; }
    void installhook(const VeltrixWindowHandle& window) override;
    void removehook() override;
    void enablehook(std::int32_t enable) override { m_bKeysEnabled = enable != 0; }
    void mousewheelenable(std::int32_t enable) override { m_bWheelEnabled = enable != 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    VeltrixWindowHandle m_keyTarget{};
    VeltrixWindowHandle m_mouseTarget{};
    bool m_bKeysInstalled = false;
    bool m_bMouseInstalled = false;
    bool m_bKeysEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bWheelEnabled = false;
};

}  // namespace veltrix::gui
