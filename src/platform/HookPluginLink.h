#pragma once

// The input hook plugin (Hook.so) bound at run time, looked for where the driver plugins are.
// Each entry point is bound on its own: a call whose entry point the library lacks is skipped, and
// without the library every call is skipped, so a missing plugin only means that no key or
// button is ever reported.
//
// Binding and unbinding happen on the thread that makes the calls (the UI thread). Unbinding
// removes both hooks first, so the plugin never runs after it is unloaded.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "hook/hook.h"
#include "platform/DynamicLibrary.h"
#include "platform/HookLibrary.h"

namespace veltrix {

// The plugin's entry points, typed by their declarations in the plugin header. Each member is
// named exactly as the symbol it is bound to; a member stays null when the symbol is missing.
struct HookEntryPoints {
    decltype(&::installhook) installhook = nullptr;
    decltype(&::removehook) removehook = nullptr;
    decltype(&::enablehook) enablehook = nullptr;
    decltype(&::installmousehook) installmousehook = nullptr;
    decltype(&::removemousehook) removemousehook = nullptr;
    decltype(&::enablemousehook) enablemousehook = nullptr;
    decltype(&::mousewheelenable) mousewheelenable = nullptr;
};

inline constexpr std::string_view kHookLibraryName = "Hook.so";

class HookPluginLink final : public HookLibrary {
  public:
    HookPluginLink() = default;
    ~HookPluginLink() override;
    HookPluginLink(const HookPluginLink&) = delete;
    HookPluginLink& operator=(const HookPluginLink&) = delete;

    // Loads Hook.so from the first of the plugin folders (or of `folders`) where it loads and
    // binds whichever entry points it has. True when the library loaded; Error() says why it
    // did not, or names the entry points it lacks. A library bound before is unbound first.
    bool Bind();
    bool Bind(std::span<const std::filesystem::path> folders);

    // Removes both hooks and unloads the library.
    void Unbind();

    bool IsLoaded() const { return m_library.IsLoaded(); }
    const HookEntryPoints& EntryPoints() const { return m_entry; }
    // The file the library was loaded from, empty when none is.
    const std::filesystem::path& LibraryPath() const { return m_path; }
    const std::string& Error() const { return m_error; }

    void installmousehook(const VeltrixWindowHandle& window) override;
    void removemousehook() override;
    void enablemousehook(std::int32_t enable) override;
    void installhook(const VeltrixWindowHandle& window) override;
    void removehook() override;
    void enablehook(std::int32_t enable) override;
    void mousewheelenable(std::int32_t enable) override;

  private:
    DynamicLibrary m_library;
    HookEntryPoints m_entry;
    std::filesystem::path m_path;
    std::string m_error;
};

}  // namespace veltrix
