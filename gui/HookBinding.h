#pragma once

// The input hooks the main window uses, chosen by the platform the window runs on: the hook
// plugin on X11 when it can be bound, the in-window hooks otherwise.

#include <functional>
#include <memory>

#include "platform/HookLibrary.h"
#include "platform/InputPath.h"

class QWidget;

namespace veltrix::gui {

struct BoundHooks {
    std::unique_ptr<HookLibrary> hooks;
    InputPath path = InputPath::InWindow;
};

BoundHooks BindHookLibrary();

// The hooks, bound when first needed. Binding loads the hook plugin with its X libraries and asks
// the X server about RECORD, which nothing on the first frame needs; the window binds them right
// after it, or a capture does on its first call. Removing hooks that were never bound binds
// nothing, so the quit path never loads the plugin only to unload it.
class DeferredHooks final : public HookLibrary {
  public:
    // `bound` is told the input path once, when the binding happens.
    explicit DeferredHooks(std::function<void(InputPath)> bound);

    // Binds now unless that was done; the same binding for the rest of the object's life.
    void Bind();
    bool Bound() const { return m_pHooks != nullptr; }

    void installmousehook(const VeltrixWindowHandle& window) override;
    void removemousehook() override;
    void enablemousehook(std::int32_t enable) override;
    void installhook(const VeltrixWindowHandle& window) override;
    void removehook() override;
    void enablehook(std::int32_t enable) override;
    void mousewheelenable(std::int32_t enable) override;

  private:
    HookLibrary& Hooks();

    std::function<void(InputPath)> m_bound;
    std::unique_ptr<HookLibrary> m_pHooks;
};

// Where the window offers a recording or a key capture, says what the in-window path can hear,
// so that nobody expects keys typed into other programs to arrive.
void ExplainInputPath(QWidget* window, InputPath path);

}  // namespace veltrix::gui
