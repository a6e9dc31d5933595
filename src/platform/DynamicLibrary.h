#pragma once

// A shared library loaded at run time. Symbols are resolved when it loads (a library that cannot
// satisfy its own dependencies fails at once, not at the first call) and stay local to it, so two
// plugins exporting the same names never bind to each other.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace veltrix {

class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    // Loads the library at `path`; IsLoaded() tells whether that worked, Error() why not.
    explicit DynamicLibrary(const std::filesystem::path& path);
    ~DynamicLibrary();

    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }

    // The address of an exported symbol, or null (with Error() saying why) when the library is
    // not loaded or does not export it.
    void* Symbol(const char* name);

    // Unloads the library; every address taken from it becomes invalid.
    void Close();

    // The loader's text for the last failure, empty when there was none.
    const std::string& Error() const { return m_error; }

  private:
    void* m_handle = nullptr;
    std::string m_error;
};

// A plugin loaded from the first of several folders where it loads.
struct PluginLibrary {
    DynamicLibrary library;  // not loaded when no folder had a loadable file
    std::filesystem::path path;
    std::string error;  // why each folder failed, when none worked
};
PluginLibrary LoadPluginLibrary(std::string_view fileName,
                                std::span<const std::filesystem::path> folders);

// A plugin's entry points are bound from one list whose names are spelled once, so a member can
// never be bound to another entry point's symbol: VELTRIX_ENTRY_POINT(Entries, name) binds the
// exported `name` to the member of that name.
template <typename Entries>
struct EntryPointBinding {
    const char* name;
    void (*assign)(Entries& entries, void* address);
};

template <auto Member, typename Entries>
void AssignEntryPoint(Entries& entries, void* address) {
    using Pointer = std::remove_reference_t<decltype(entries.*Member)>;
    entries.*Member = reinterpret_cast<Pointer>(address);
}

#define VELTRIX_ENTRY_POINT(Entries, name)                             \
    ::veltrix::EntryPointBinding<Entries> {                            \
#name, &::veltrix::AssignEntryPoint < &Entries::name, Entries> \
    }

}  // namespace veltrix
