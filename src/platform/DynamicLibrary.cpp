#include "platform/DynamicLibrary.h"

#include <utility>

#include <dlfcn.h>

namespace veltrix {
namespace {

std::string LastLoaderError(const char* fallback) {
    const char* error = ::dlerror();
    return error != nullptr ? error : fallback;
}

}  // namespace

DynamicLibrary::DynamicLibrary(const std::filesystem::path& path) {
    m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        m_error = LastLoaderError("cannot load library");
    }
}

DynamicLibrary::~DynamicLibrary() {
    Close();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

void* DynamicLibrary::Symbol(const char* name) {
    if (m_handle == nullptr) {
        m_error = "library not loaded";
        return nullptr;
    }
    ::dlerror();  // a stale error must not be mistaken for this lookup's
    void* address = ::dlsym(m_handle, name);
    if (address == nullptr) {
        m_error = LastLoaderError("symbol not found");
    }
    return address;
}

PluginLibrary LoadPluginLibrary(std::string_view fileName,
                                std::span<const std::filesystem::path> folders) {
    PluginLibrary found;
    for (const std::filesystem::path& folder : folders) {
        if (!folder.is_absolute()) {
            // A bare or relative name would make the loader search the library path or the
            // current folder.
            found.error += (found.error.empty() ? "" : "; ") + folder.string() +
                           ": not an absolute folder, not searched";
            continue;
        }
        DynamicLibrary library(folder / fileName);
        if (library.IsLoaded()) {
            found.library = std::move(library);
            found.path = folder / fileName;
            found.error.clear();
            return found;
        }
        found.error += (found.error.empty() ? "" : "; ") + library.Error();
    }
    if (found.error.empty()) {
        found.error =
            "the program's own folder is unknown (/proc/self/exe cannot be read), so no plugin "
            "is loaded";
    }
    return found;
}

void DynamicLibrary::Close() {
    if (m_handle != nullptr) {
        ::dlclose(std::exchange(m_handle, nullptr));
    }
}

}  // namespace veltrix
