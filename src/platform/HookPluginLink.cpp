#include "platform/HookPluginLink.h"

#include <type_traits>

#include "platform/Paths.h"

namespace veltrix {
namespace {

template <auto Member>
void Assign(HookEntryPoints& entry, void* address) {
    using Pointer = std::remove_reference_t<decltype(entry.*Member)>;
    entry.*Member = reinterpret_cast<Pointer>(address);
}

struct EntryPointBinding {
    const char* name;
    void (*assign)(HookEntryPoints& entry, void* address);
};

// The one list of entry points. The name is spelled once, so a member can never be bound to
// another entry point's symbol.
// clang-format off
#define VELTRIX_ENTRY_POINT(name) EntryPointBinding{#name, &Assign<&HookEntryPoints::name>}
// clang-format on
constexpr EntryPointBinding kEntryPoints[] = {
    VELTRIX_ENTRY_POINT(installhook),      VELTRIX_ENTRY_POINT(removehook),
    VELTRIX_ENTRY_POINT(enablehook),       VELTRIX_ENTRY_POINT(installmousehook),
    VELTRIX_ENTRY_POINT(removemousehook),  VELTRIX_ENTRY_POINT(enablemousehook),
    VELTRIX_ENTRY_POINT(mousewheelenable),
};
#undef VELTRIX_ENTRY_POINT

}  // namespace

HookPluginLink::~HookPluginLink() {
    Unbind();
}

bool HookPluginLink::Bind() {
    return Bind(PluginSearchFolders());
}

bool HookPluginLink::Bind(std::span<const std::filesystem::path> folders) {
    Unbind();
    std::string errors;
    for (const std::filesystem::path& folder : folders) {
        DynamicLibrary library(folder / kHookLibraryName);
        if (library.IsLoaded()) {
            m_library = std::move(library);
            m_path = folder / kHookLibraryName;
            break;
        }
        errors += (errors.empty() ? "" : "; ") + library.Error();
    }
    if (!m_library.IsLoaded()) {
        m_error = errors.empty() ? "no folder to look in" : errors;
        return false;
    }
    for (const EntryPointBinding& binding : kEntryPoints) {
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
