#include "device/HidDriverLink.h"

#include <limits>

#include "platform/Paths.h"

namespace veltrix {
namespace {

// clang-format off
#define ENTRY(name) VELTRIX_ENTRY_POINT(HidDriverEntryPoints, name)
// clang-format on
constexpr EntryPointBinding<HidDriverEntryPoints> kEntryPoints[] = {
    ENTRY(Set_VIDPID), ENTRY(Open_DevMonitor),     ENTRY(Open_FeatureDevice), ENTRY(SetFeature),
    ENTRY(GetFeature), ENTRY(Close_FeatureDevice), ENTRY(Close_DevMonitor),
};
#undef ENTRY

std::int32_t LengthOf(std::size_t size) {
    return size <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())
               ? static_cast<std::int32_t>(size)
               : 0;
}

}  // namespace

std::vector<std::filesystem::path> HidDriverLink::SearchFolders() {
    return PluginSearchFolders();
}

bool HidDriverLink::Bind(std::string_view fileName) {
    return Bind(fileName, SearchFolders());
}

bool HidDriverLink::Bind(std::string_view fileName,
                         std::span<const std::filesystem::path> folders) {
    Unbind();
    PluginLibrary found = LoadPluginLibrary(fileName, folders);
    if (!found.library.IsLoaded()) {
        m_error = std::move(found.error);
        return false;
    }
    m_library = std::move(found.library);
    m_path = std::move(found.path);
    HidDriverEntryPoints entry;
    for (const auto& binding : kEntryPoints) {
        void* address = m_library.Symbol(binding.name);
        if (address == nullptr) {
            m_error = m_path.string() + ": no entry point " + binding.name;
            m_library.Close();
            m_path.clear();
            return false;
        }
        binding.assign(entry, address);
    }
    m_entry = entry;
    return true;
}

void HidDriverLink::Unbind() {
    m_entry = HidDriverEntryPoints{};
    m_library.Close();
    m_path.clear();
    m_error.clear();
}

std::int32_t HidDriverLink::Set_VIDPID(std::int32_t vid, std::int32_t pid) {
    return IsBound() ? m_entry.Set_VIDPID(vid, pid) : 0;
}

std::int32_t HidDriverLink::Open_DevMonitor(const VeltrixWindowHandle& window,
                                            std::uint32_t reportMessage,
                                            std::uint32_t changeMessage) {
    return IsBound() ? m_entry.Open_DevMonitor(&window, reportMessage, changeMessage) : 0;
}

std::int32_t HidDriverLink::Open_FeatureDevice() {
    return IsBound() ? m_entry.Open_FeatureDevice() : 0;
}

std::int32_t HidDriverLink::SetFeature(std::span<const std::uint8_t> report) {
    const std::int32_t length = LengthOf(report.size());
    return IsBound() && length > 0 ? m_entry.SetFeature(report.data(), length) : 0;
}

std::int32_t HidDriverLink::GetFeature(std::span<std::uint8_t> report) {
    const std::int32_t length = LengthOf(report.size());
    return IsBound() && length > 0 ? m_entry.GetFeature(report.data(), length) : 0;
}

std::int32_t HidDriverLink::Close_FeatureDevice() {
    return IsBound() ? m_entry.Close_FeatureDevice() : 0;
}

std::int32_t HidDriverLink::Close_DevMonitor() {
    return IsBound() ? m_entry.Close_DevMonitor() : 0;
}

}  // namespace veltrix
