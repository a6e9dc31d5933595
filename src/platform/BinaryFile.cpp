#include "platform/BinaryFile.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrix {
namespace {

// Each temporary name is used once, even when two threads save beside each other.
std::atomic<unsigned> g_tempCounter{0};

bool WriteAll(int fd, std::span<const std::byte> bytes, WriteCall write) {
    while (!bytes.empty()) {
        const long written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

long PosixWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

std::optional<std::size_t> ReadFilePrefix(const std::filesystem::path& path,
                                          std::span<std::byte> into) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    // Every error counts, not only a failed open: a read that fails part way (an I/O error, a
    // folder in the file's place) must not pass for a short file.
    std::size_t total = 0;
    while (total < into.size()) {
        const ssize_t got = ::read(fd, into.data() + total, into.size() - total);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return total;
}

bool PathIsMissing(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() ==
           std::filesystem::file_type::not_found;
}

std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    return size;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         WriteCall write) {
    std::filesystem::path temp = path;
    temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(g_tempCounter++);

    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes, write) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        SyncFolder(path.parent_path().empty() ? "." : path.parent_path());
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

bool EnsureDirectory(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return true;
    }
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace veltrix
