#include <cerrno>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/BinaryFile.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::TempDir;

std::vector<std::byte> Filled(std::size_t size, std::uint8_t value) {
    return std::vector<std::byte>(size, std::byte{value});
}

std::vector<std::byte> ReadAll(const std::filesystem::path& path) {
    std::vector<std::byte> bytes(RegularFileSize(path).value_or(0));
    ReadFilePrefix(path, bytes);
    return bytes;
}

// A disk that fills up after `budget` bytes.
long g_budget = 0;
long WriteUntilFull(int fd, const void* data, std::size_t size) {
    if (g_budget <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const long allowed = std::min<long>(g_budget, static_cast<long>(size));
    g_budget -= allowed;
    return ::write(fd, data, static_cast<std::size_t>(allowed));
}

// A kernel that hands back short writes and interrupted calls.
int g_calls = 0;
long ShortAndInterruptedWrites(int fd, const void* data, std::size_t size) {
    if (++g_calls % 3 == 0) {
        errno = EINTR;
        return -1;
    }
    return ::write(fd, data, std::min<std::size_t>(size, 1000));
}

std::size_t FilesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(WriteFileAtomically, ReplacesTheFileWithoutTruncatingItInPlace) {
    TempDir dir;
    const auto file = dir / "Config_1.data";
    ASSERT_TRUE(WriteFileAtomically(file, Filled(5000, 1)));

    // A reader that opened the old file keeps seeing all of it: the new bytes went to a new file.
    std::ifstream reader(file, std::ios::binary);
    ASSERT_TRUE(WriteFileAtomically(file, Filled(10, 2)));
    std::vector<char> old(5000);
    reader.read(old.data(), 5000);
    EXPECT_EQ(reader.gcount(), 5000);
    EXPECT_EQ(old[4999], 1);

    EXPECT_EQ(ReadAll(file), Filled(10, 2));
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(WriteFileAtomically, AFullDiskLeavesTheOldFileAndNoLeftovers) {
    TempDir dir;
    const auto file = dir / "macro.data";
    ASSERT_TRUE(WriteFileAtomically(file, Filled(480, 7)));

    g_budget = 100;
    EXPECT_FALSE(WriteFileAtomically(file, Filled(720, 8), WriteUntilFull));
    EXPECT_EQ(ReadAll(file), Filled(480, 7));
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "file", Filled(4, 0)));
}

TEST(WriteFileAtomically, CompletesAfterShortAndInterruptedWrites) {
    TempDir dir;
    const auto file = dir / "big";
    std::vector<std::byte> bytes(164364);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::byte(i * 7 % 251);
    }
    EXPECT_TRUE(WriteFileAtomically(file, bytes, ShortAndInterruptedWrites));
    EXPECT_EQ(ReadAll(file), bytes);
}

TEST(ReadFilePrefix, ReadsAtMostTheBufferAndReportsWhatItGot) {
    TempDir dir;
    const auto file = dir / "f";
    ASSERT_TRUE(WriteFileAtomically(file, Filled(100, 3)));
    std::vector<std::byte> large(200, std::byte{9});
    EXPECT_EQ(ReadFilePrefix(file, large), 100u);
    EXPECT_EQ(large[99], std::byte{3});
    EXPECT_EQ(large[100], std::byte{9});  // untouched past the end of the file
    EXPECT_EQ(ReadFilePrefix(dir / "none", large), std::nullopt);
}

TEST(DataFolder, LivesUnderTheUsersDataHomeAndIsCreated) {
    TempDir dir;
    {
        test::ScopedEnv xdg("XDG_DATA_HOME", dir.Path().c_str());
        const auto folder = DataFolder();
        EXPECT_EQ(folder, dir / "veltrix-wireless" / "Data");
        EXPECT_TRUE(std::filesystem::is_directory(folder));
    }
    test::ScopedEnv noXdg("XDG_DATA_HOME", "relative/is/ignored");
    test::ScopedEnv home("HOME", dir.Path().c_str());
    EXPECT_EQ(DataFolder(), dir / ".local" / "share" / "veltrix-wireless" / "Data");
}

}  // namespace
}  // namespace veltrix
