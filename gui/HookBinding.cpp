#include "HookBinding.h"

namespace veltrix::gui {
namespace {

// Without the plugin no hook event ever arrives: key capture and recording stay empty.
class NoHooks final : public HookLibrary {
  public:
    void installmousehook(const VeltrixWindowHandle&) override {}
    void removemousehook() override {}
    void enablemousehook(std::int32_t) override {}
    void installhook(const VeltrixWindowHandle&) override {}
    void removehook() override {}
    void enablehook(std::int32_t) override {}
    void mousewheelenable(std::int32_t) override {}
};

}  // namespace

std::unique_ptr<HookLibrary> BindHookLibrary() {
    return std::make_unique<NoHooks>();
}

}  // namespace veltrix::gui
