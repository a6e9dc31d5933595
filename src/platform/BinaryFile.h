#pragma once

// Whole-file reads and crash-safe writes of raw records.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <type_traits>

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

// Reads the beginning of a file into `into`, at most into.size() bytes. Returns how many bytes
// were read, or nothing when the file cannot be opened or read.
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
// any step fails.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         WriteCall write = PosixWrite);

// Creates the folder (and its parents) unless a directory of that name exists already.
bool EnsureDirectory(const std::filesystem::path& folder);

}  // namespace veltrix
