#pragma once

// Whole-file reads and crash-safe writes of raw records.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

namespace veltrix {

template <typename T>
std::span<const std::byte, sizeof(T)> RecordBytes(const T& record) {
    static_assert(std::is_trivially_copyable_v<T>);
    return std::span<const std::byte, sizeof(T)>(reinterpret_cast<const std::byte*>(&record),
                                                 sizeof(T));
}

template <typename T>
std::span<std::byte, sizeof(T)> WritableRecordBytes(T& record) {
    static_assert(std::is_trivially_copyable_v<T>);
    return std::span<std::byte, sizeof(T)>(reinterpret_cast<std::byte*>(&record), sizeof(T));
}

// Every file the program and the tools read goes through these two functions. A FIFO, a device or
// a folder at the path is refused without blocking, and a file larger than its format allows is
// never read into memory: a damaged or hostile file costs an error, not a hang or an abort.
enum class FileReadStatus {
    Read,      // `bytes` holds the whole file
    Missing,   // nothing at all is at the path
    NotAFile,  // something other than a regular file (a FIFO, a device, a folder)
    TooLarge,  // larger than the caller's bound; nothing was read
    Failed,    // it could not be opened or read (permissions, an I/O error, a dangling link)
};

struct FileContent {
    FileReadStatus status = FileReadStatus::Failed;
    std::uintmax_t size = 0;  // the file's size as it was opened, also when TooLarge
    std::vector<std::byte> bytes;
};

// Reads a whole regular file of at most `maxSize` bytes.
FileContent ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxSize);

// Reads the beginning of a regular file into `into`, at most into.size() bytes. Returns how many
// bytes were read, or nothing when the file is not a regular file or cannot be opened or read.
std::optional<std::size_t> ReadFilePrefix(const std::filesystem::path& path,
                                          std::span<std::byte> into);

// Whether nothing at all is at the path: no file, folder or link (a dangling link is something).
// A path that cannot be looked at for another reason is not taken as missing.
bool PathIsMissing(const std::filesystem::path& path);

// The size of a regular file, or nothing when there is no readable regular file at the path.
std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& path);

// The write(2) that the atomic save uses; tests give one that fails part way.
using WriteCall = long (*)(int fd, const void* data, std::size_t size);
long PosixWrite(int fd, const void* data, std::size_t size);

// Replaces the file at `path` with exactly `bytes`, or leaves it untouched: the bytes go to a new
// file beside it, which is flushed and then renamed over the old one. A crash or a full disk
// therefore never leaves a truncated file behind. Returns false, with the old file intact, when
// any step fails. The settings may hold recorded keystrokes, so a new file is readable by its
// owner only (0600) and a replaced file keeps the mode it had. The temporary files that earlier
// saves of this file left behind when their process died are removed first.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         WriteCall write = PosixWrite);

// Removes the temporary files ("NAME.tmp-PID-N") of saves of `file` whose process no longer
// exists: a save killed part way leaves one. Files of other users and of live processes stay.
void RemoveDeadTempFiles(const std::filesystem::path& file);

// Creates the folder (and its parents) unless a directory of that name exists already; the
// folders it creates are the user's only (0700). An empty path is the current folder.
bool EnsureDirectory(const std::filesystem::path& folder);

// An unreadable file is moved aside before anything is written at its path, so that it cannot
// cost the user what it holds. The name beside it, `NAME.unreadable-YYYYMMDD-HHMMSS` (local time
// now, with "-2", "-3", ... added when that name is taken), is chosen when the file is found
// unreadable, so the user can be told it at once.
std::filesystem::path UnreadableCopyPath(const std::filesystem::path& file);
// Renames `file` to `copy`. True when it was moved, or when nothing is at `file` any more.
bool KeepUnreadableFile(const std::filesystem::path& file, const std::filesystem::path& copy);

}  // namespace veltrix
