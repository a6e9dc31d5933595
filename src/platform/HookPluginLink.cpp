#include "platform/HookPluginLink.h"

#include "platform/Paths.h"

namespace veltrix {
namespace {

// clang-format off
#define ENTRY(name) VELTRIX_ENTRY_POINT(HookEntryPoints, name)
// clang-format on
constexpr EntryPointBinding<HookEntryPoints> kEntryPoints[] = {
    ENTRY(installhook),      ENTRY(removehook),      ENTRY(enablehook),
    ENTRY(installmousehook), ENTRY(removemousehook), ENTRY(enablemousehook),
    ENTRY(mousewheelenable),
};
#undef ENTRY

}  // namespace

HookPluginLink::~HookPluginLink() {
    Unbind();
}

bool HookPluginLink::Bind() {
    return Bind(PluginSearchFolders());
}

bool HookPluginLink::Bind(std::span<const std::filesystem::path> folders) {
    Unbind();
    PluginLibrary found = LoadPluginLibrary(kHookLibraryName, folders);
    if (!found.library.IsLoaded()) {
        m_error = std::move(found.error);
        return false;
    }
    m_library = std::move(found.library);
    m_path = std::move(found.path);
    for (const auto& binding : kEntryPoints) {
        if (void* address = m_library.Symbol(binding.name)) {
            binding.assign(m_entry, address);
        } else {
            m_error +=
                (m_error.empty() ? m_path.string() + ": no entry point " : ", ") + binding.name;
        }
    }
    return true;
}

void HookPluginLink::Unbind() {
    if (m_library.IsLoaded()) {
        removemousehook();
        removehook();
    }
    m_entry = HookEntryPoints{};
    m_library.Close();
    m_path.clear();
    m_error.clear();
}

void HookPluginLink::installmousehook(const VeltrixWindowHandle& window) {
    if (m_entry.installmousehook != nullptr) {
        m_entry.installmousehook(&window);
    }
}

void HookPluginLink::removemousehook() {
    if (m_entry.removemousehook != nullptr) {
        m_entry.removemousehook();
    }
}

void HookPluginLink::enablemousehook(std::int32_t enable) {
    if (m_entry.enablemousehook != nullptr) {
        m_entry.enablemousehook(enable);
    }
}

void HookPluginLink::installhook(const VeltrixWindowHandle& window) {
    if (m_entry.installhook != nullptr) {
        m_entry.installhook(&window);
    }
}

void HookPluginLink::removehook() {
    if (m_entry.removehook != nullptr) {
        m_entry.removehook();
    }
}

void HookPluginLink::enablehook(std::int32_t enable) {
    if (m_entry.enablehook != nullptr) {
        m_entry.enablehook(enable);
    }
}

void HookPluginLink::mousewheelenable(std::int32_t enable) {
    if (m_entry.mousewheelenable != nullptr) {
        m_entry.mousewheelenable(enable);
    }
}

}  // namespace veltrix
