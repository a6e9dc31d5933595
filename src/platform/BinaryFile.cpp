#include "platform/BinaryFile.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <ctime>
#include <string>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Fd.h"

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

// Opens a regular file for reading without ever blocking. A device or FIFO is not even opened
// when the path names one (opening some devices acts on them); O_NONBLOCK keeps the open of a
// FIFO put there meanwhile from waiting for a writer, and fstat on what was opened turns it away.
FileReadStatus OpenRegularFile(const std::filesystem::path& path, Fd& fd, struct stat& info) {
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return FileReadStatus::NotAFile;
    }
    fd.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return errno == ENOENT && PathIsMissing(path) ? FileReadStatus::Missing
                                                      : FileReadStatus::Failed;
    }
    if (::fstat(fd.Get(), &info) != 0) {
        return FileReadStatus::Failed;
    }
    return S_ISREG(info.st_mode) ? FileReadStatus::Read : FileReadStatus::NotAFile;
}

// Reads up to into.size() bytes. Every error counts, not only a failed open: a read that fails
// part way must not pass for a short file.
std::optional<std::size_t> ReadUpTo(int fd, std::span<std::byte> into) {
    std::size_t total = 0;
    while (total < into.size()) {
        const ssize_t got = ::read(fd, into.data() + total, into.size() - total);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    return total;
}

bool ProcessIsGone(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The process id in "PID-N", or nothing when the rest is not of that form.
std::optional<pid_t> TempFileOwner(std::string_view rest) {
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size()) {
        return std::nullopt;
    }
    long pid = 0;
    const char* end = rest.data() + dash;
    const auto [stop, failed] = std::from_chars(rest.data(), end, pid);
    if (failed != std::errc() || stop != end) {
        return std::nullopt;
    }
    for (const char digit : rest.substr(dash + 1)) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
    }
    return static_cast<pid_t>(pid);
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

FileContent ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxSize) {
    FileContent content;
    Fd fd(-1);
    struct stat info {};
    content.status = OpenRegularFile(path, fd, info);
    if (content.status != FileReadStatus::Read) {
        return content;
    }
    content.size = static_cast<std::uintmax_t>(info.st_size);
    if (content.size > maxSize) {
        content.status = FileReadStatus::TooLarge;
        return content;
    }
    // One byte to spare tells a file that grew since fstat (someone writing it in place) from one
    // that did not; what such a file holds is nobody's whole file, so it counts as a failed read.
    content.bytes.resize(static_cast<std::size_t>(content.size) + 1);
    const std::optional<std::size_t> read = ReadUpTo(fd.Get(), content.bytes);
    if (!read || *read > content.size) {
        content.status = FileReadStatus::Failed;
        content.bytes.clear();
        return content;
    }
    content.bytes.resize(*read);
    content.size = *read;
    return content;
}

std::optional<std::size_t> ReadFilePrefix(const std::filesystem::path& path,
                                          std::span<std::byte> into) {
    Fd fd(-1);
    struct stat info {};
    if (OpenRegularFile(path, fd, info) != FileReadStatus::Read) {
        return std::nullopt;
    }
    return ReadUpTo(fd.Get(), into);
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
    RemoveDeadTempFiles(path);
    std::filesystem::path temp = path;
    temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(g_tempCounter++);

    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                            ? (old.st_mode & 07777)
                            : S_IRUSR | S_IWUSR;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return false;
    }
    // fchmod, unlike open, is not narrowed by the umask: the replaced file's mode is kept exactly.
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes, write) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        SyncFolder(path.parent_path().empty() ? "." : path.parent_path());
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

void RemoveDeadTempFiles(const std::filesystem::path& file) {
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    const std::string prefix = file.filename().string() + ".tmp-";
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        const std::optional<pid_t> owner =
            TempFileOwner(std::string_view(name).substr(prefix.size()));
        struct stat info {};
        if (owner && ProcessIsGone(*owner) && ::lstat(it->path().c_str(), &info) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            ::unlink(it->path().c_str());
        }
    }
}

bool EnsureDirectory(const std::filesystem::path& folder) {
    if (folder.empty()) {
        return true;  // a bare file name lies in the current folder
    }
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return true;
    }
    std::filesystem::path made;
    for (const std::filesystem::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return std::filesystem::is_directory(folder, error);
}

std::filesystem::path UnreadableCopyPath(const std::filesystem::path& file) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::filesystem::path copy = file;
    copy += std::string(".unreadable-") + stamp;
    for (int n = 2; !PathIsMissing(copy); ++n) {
        copy = file;
        copy += std::string(".unreadable-") + stamp + "-" + std::to_string(n);
    }
    return copy;
}

bool KeepUnreadableFile(const std::filesystem::path& file, const std::filesystem::path& copy) {
    if (PathIsMissing(file)) {
        return true;
    }
    // Never over an existing copy: that may be the one kept from an earlier run.
    if (!PathIsMissing(copy)) {
        return false;
    }
    return ::rename(file.c_str(), copy.c_str()) == 0;
}

}  // namespace veltrix
