#pragma once

// One driver plugin (hiddriver_1.so for the receiver, hiddriver_2.so for the cable) bound at run
// time. The library is looked for beside the executable first, then in the installed plugin
// folder relative to it (PluginSearchFolders). Binding needs all seven entry points: when the
// library or any of them is missing, the link stays unbound and every call through it does nothing
// and returns 0, so a broken install looks like an absent mouse rather than a crash.
//
// Bind and Unbind run while no call is in progress (the worker is stopped before the libraries
// are unloaded). Once bound, SetFeature may run on the worker thread while the other calls run
// on the UI thread; the plugin itself makes that safe.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/DriverLink.h"
#include "hiddriver/hiddriver.h"
#include "platform/DynamicLibrary.h"

namespace veltrix {

// The plugin's entry points, typed by their declarations in the plugin header. Each member is
// named exactly as the symbol it is bound to.
struct HidDriverEntryPoints {
    decltype(&::Set_VIDPID) Set_VIDPID = nullptr;
    decltype(&::Open_DevMonitor) Open_DevMonitor = nullptr;
    decltype(&::Open_FeatureDevice) Open_FeatureDevice = nullptr;
    decltype(&::SetFeature) SetFeature = nullptr;
    decltype(&::GetFeature) GetFeature = nullptr;
    decltype(&::Close_FeatureDevice) Close_FeatureDevice = nullptr;
    decltype(&::Close_DevMonitor) Close_DevMonitor = nullptr;
};

inline constexpr std::string_view kReceiverLibraryName = "hiddriver_1.so";
inline constexpr std::string_view kCableLibraryName = "hiddriver_2.so";

class HidDriverLink final : public DriverLink {
  public:
    // Where a driver library is looked for, in order: the executable's folder, then the folder
    // the plugins are installed to, relative to the executable's.
    static std::vector<std::filesystem::path> SearchFolders();

    HidDriverLink() = default;
    HidDriverLink(const HidDriverLink&) = delete;
    HidDriverLink& operator=(const HidDriverLink&) = delete;

    // Loads `fileName` from the first of the folders where it loads and binds the seven entry
    // points. True when the link is bound; otherwise it stays unbound and Error() says why.
    // A link that was bound before is unbound first.
    bool Bind(std::string_view fileName);
    bool Bind(std::string_view fileName, std::span<const std::filesystem::path> folders);

    // Unloads the library. The plugin's monitor and device must have been closed.
    void Unbind();

    bool IsBound() const { return m_entry.Set_VIDPID != nullptr; }
    // The file the library was loaded from, empty when unbound.
    const std::filesystem::path& LibraryPath() const { return m_path; }
    const std::string& Error() const { return m_error; }

    std::int32_t Set_VIDPID(std::int32_t vid, std::int32_t pid) override;
    std::int32_t Open_DevMonitor(const VeltrixWindowHandle& window, std::uint32_t reportMessage,
                                 std::uint32_t changeMessage) override;
    std::int32_t Open_FeatureDevice() override;
    std::int32_t SetFeature(std::span<const std::uint8_t> report) override;
    std::int32_t GetFeature(std::span<std::uint8_t> report) override;
    std::int32_t Close_FeatureDevice() override;
    std::int32_t Close_DevMonitor() override;

  private:
    DynamicLibrary m_library;
    HidDriverEntryPoints m_entry;  // all null unless every entry point was found
    std::filesystem::path m_path;
    std::string m_error;
};

}  // namespace veltrix
