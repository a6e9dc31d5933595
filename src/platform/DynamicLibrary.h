#pragma once

// A shared library loaded at run time. Symbols are resolved when it loads (a library that cannot
// satisfy its own dependencies fails at once, not at the first call) and stay local to it, so two
// plugins exporting the same names never bind to each other.

#include <filesystem>
#include <string>

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

}  // namespace veltrix
