#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"
#include "profile/SettingsFiles.h"
#include "profile/SettingsKeeper.h"
#include "support/ByteImage.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::BytesOf;
using test::TempDir;

void WriteBytes(const std::filesystem::path& path, std::size_t size, std::uint8_t value) {
    test::WriteBytes(path, std::vector<std::uint8_t>(size, value));
}

MacroRecord Macro(char16_t initial, std::int32_t count) {
    MacroRecord record{};
    record.szName[0] = initial;
    record.iActionCount = count;
    record.aAction[0] = {4, 1, 10};
    return record;
}

class SettingsFilesTest : public ::testing::Test {
  protected:
    TempDir m_dir;
    std::filesystem::path m_data = m_dir / "Data";
    std::unique_ptr<ProfileSettings> m_settings = std::make_unique<ProfileSettings>();
};

TEST_F(SettingsFilesTest, FirstStartWritesTheDefaultsIntoNewFolders) {
    SettingsKeeper keeper(SettingsFile(m_data));
    EXPECT_EQ(keeper.Load(*m_settings), SettingsSource::Defaults);
    EXPECT_FALSE(keeper.SavingHeld());
    EXPECT_TRUE(std::filesystem::is_directory(m_data / "ms_1"));
    EXPECT_EQ(RegularFileSize(m_data / "ms_1" / "Config_1.data"), 164364u);
    EXPECT_EQ(BytesOf(*m_settings), BytesOf(DefaultProfileSettings()));

    auto reloaded = std::make_unique<ProfileSettings>();
    EXPECT_EQ(LoadSettings(*reloaded, m_data), SettingsSource::File);
    EXPECT_EQ(BytesOf(*reloaded), BytesOf(*m_settings));
}

// What is at a path, as far as a test can tell it apart: its type and, for a file, its size.
std::pair<std::filesystem::file_type, std::uintmax_t> Shape(const std::filesystem::path& path) {
    const std::filesystem::file_status status = std::filesystem::symlink_status(path);
    std::error_code noSize;
    const std::uintmax_t size = status.type() == std::filesystem::file_type::regular
                                    ? std::filesystem::file_size(path, noSize)
                                    : 0;
    return {status.type(), size};
}

// Everything that may lie where a settings file belongs and does not hold exactly what its
// format holds: a 0-byte file after a full disk, a truncated or overlong copy, a 60 GB hole, a
// FIFO (whose open would wait for a writer for ever), a device, a folder, a read that fails.
using Maker = void (*)(const std::filesystem::path&, std::uintmax_t recordSize);
const std::pair<const char*, Maker> kDamagedFiles[] = {
    {"empty", [](const auto& path, std::uintmax_t) { WriteBytes(path, 0, 0); }},
    {"cut short",
     [](const auto& path, std::uintmax_t size) {
         WriteBytes(path, 0, 0);
         std::filesystem::resize_file(path, size - 1);
     }},
    {"one byte long",
     [](const auto& path, std::uintmax_t size) {
         WriteBytes(path, 0, 0);
         std::filesystem::resize_file(path, size + 1);
     }},
    {"60 GB",
     [](const auto& path, std::uintmax_t) {
         WriteBytes(path, 0, 0);
         std::filesystem::resize_file(path, 60ULL << 30);
     }},
    {"a FIFO",
     [](const auto& path, std::uintmax_t) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
    {"a device",
     [](const auto& path, std::uintmax_t) { std::filesystem::create_symlink("/dev/zero", path); }},
    {"a folder",
     [](const auto& path, std::uintmax_t) { std::filesystem::create_directories(path); }},
    // Reading /proc/self/mem at offset 0 fails with an I/O error, even for root.
    {"an I/O error",
     [](const auto& path, std::uintmax_t) {
         std::filesystem::create_symlink("/proc/self/mem", path);
     }},
};

// Makes one of them at `file`, in a folder of its own; its shape.
auto Make(Maker make, const std::filesystem::path& file, std::uintmax_t recordSize) {
    std::filesystem::create_directories(file.parent_path());
    make(file, recordSize);
    return Shape(file);
}

// Such a file may hold the user's only copy of their settings: the run goes on with the defaults
// (never with a record padded with zeros, whose buttons would all be off), nothing is written
// over the file, and the first save after the user changes a setting keeps it beside itself.
TEST_F(SettingsFilesTest, AFileThatIsNotAWholeRecordIsKeptAndTheDefaultsUsedUntilAChange) {
    for (const auto& [what, make] : kDamagedFiles) {
        SCOPED_TRACE(what);
        TempDir dir;
        const std::filesystem::path file = SettingsFile(dir.Path());
        const auto shape = Make(make, file, sizeof(ProfileSettings));

        SettingsKeeper keeper(file);
        m_settings->iCurProfile = 77;
        EXPECT_EQ(keeper.Load(*m_settings), SettingsSource::Unreadable);
        EXPECT_EQ(BytesOf(*m_settings), BytesOf(DefaultProfileSettings()));
        EXPECT_FALSE(keeper.Save(*m_settings));
        EXPECT_EQ(Shape(file), shape);
        const std::filesystem::path copy = keeper.UnreadableCopy();
        EXPECT_TRUE(copy.string().starts_with(file.string() + ".unreadable-")) << copy;
        EXPECT_FALSE(std::filesystem::exists(copy));

        keeper.MarkUserChange();
        m_settings->iCurProfile = 3;
        ASSERT_TRUE(keeper.Save(*m_settings));
        EXPECT_EQ(Shape(copy), shape);
        auto reloaded = std::make_unique<ProfileSettings>();
        EXPECT_EQ(SettingsKeeper(file).Load(*reloaded), SettingsSource::File);
        EXPECT_EQ(reloaded->iCurProfile, 3);
    }
}

// macro.data is read whole, so one larger than the list can be (or a FIFO) must not be read at
// all; it is moved aside at once, as the next macro saved would replace it.
TEST_F(SettingsFilesTest, AMacroFileThatCannotBeAListLoadsNothingAndIsKept) {
    for (const auto& [what, make] : kDamagedFiles) {
        SCOPED_TRACE(what);
        TempDir dir;
        const std::filesystem::path file = MacroFile(dir.Path());
        const auto shape = Make(make, file, kMaxMacroListSize);
        if (shape.first == std::filesystem::file_type::regular &&
            shape.second <= kMaxMacroListSize) {
            continue;  // a list, perhaps with a partial last record (below)
        }

        MacroStore store;
        LoadMacroList(store, dir.Path());
        EXPECT_TRUE(store.Empty());
        std::vector<std::filesystem::path> kept;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
            kept.push_back(entry.path());
        }
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_TRUE(kept[0].string().starts_with(file.string() + ".unreadable-")) << kept[0];
        EXPECT_EQ(Shape(kept[0]), shape);
        EXPECT_TRUE(SaveMacroList(store, dir.Path()));
    }
}

TEST_F(SettingsFilesTest, NewFilesAndFoldersAreTheUsersOnlyAndASaveKeepsAFilesMode) {
    const mode_t umask = ::umask(022);
    SettingsKeeper keeper(SettingsFile(m_data));
    EXPECT_EQ(keeper.Load(*m_settings), SettingsSource::Defaults);
    ASSERT_TRUE(SaveMacroList(MacroStore{}, m_data));
    const auto mode = [](const std::filesystem::path& path) {
        return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
    };
    using std::filesystem::perms;
    EXPECT_EQ(mode(m_data), perms::owner_all);
    EXPECT_EQ(mode(SettingsFolder(m_data)), perms::owner_all);
    EXPECT_EQ(mode(SettingsFile(m_data)), perms::owner_read | perms::owner_write);
    EXPECT_EQ(mode(MacroFile(m_data)), perms::owner_read | perms::owner_write);

    const perms stricter = perms::owner_read | perms::group_read;
    const perms wider =
        perms::owner_read | perms::owner_write | perms::group_read | perms::others_read;
    std::filesystem::permissions(SettingsFile(m_data), stricter);
    std::filesystem::permissions(MacroFile(m_data), wider);
    EXPECT_TRUE(keeper.Save(*m_settings));
    EXPECT_TRUE(SaveMacroList(MacroStore{}, m_data));
    EXPECT_EQ(mode(SettingsFile(m_data)), stricter);
    EXPECT_EQ(mode(MacroFile(m_data)), wider);
    ::umask(umask);
}

// A save killed part way leaves its temporary file; the next start or save removes it, but never
// one whose save may still be running, nor a file that only looks like one.
TEST_F(SettingsFilesTest, TemporaryFilesOfDeadSavesAreRemovedAtStartAndBeforeASave) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(::getpid());
    const std::filesystem::path folder = SettingsFolder(m_data);
    const std::vector<std::string> gone = {"Config_1.data.tmp-" + dead + "-0",
                                           "macro.data.tmp-" + dead + "-12"};
    const std::vector<std::string> stay = {"Config_1.data.tmp-" + alive + "-3",
                                           "Config_1.data.tmp-" + dead + "-x",
                                           "notes.tmp-" + dead + "-0"};
    for (const std::string& name : gone) {
        WriteBytes(folder / name, 10, 1);
    }
    for (const std::string& name : stay) {
        WriteBytes(folder / name, 10, 1);
    }
    SettingsKeeper keeper(SettingsFile(m_data));
    keeper.Load(*m_settings);
    MacroStore store;
    LoadMacroList(store, m_data);
    for (const std::string& name : gone) {
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
    }
    for (const std::string& name : stay) {
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
    }

    WriteBytes(folder / gone[0], 10, 1);
    EXPECT_TRUE(keeper.Save(*m_settings));
    EXPECT_FALSE(std::filesystem::exists(folder / gone[0]));
}

TEST_F(SettingsFilesTest, SaveFailsCleanlyWhenTheSettingsFolderIsBlocked) {
    WriteBytes(m_data / "ms_1", 3, 0);  // a file where the folder should be
    ResetProfileSettings(*m_settings);
    EXPECT_FALSE(SettingsKeeper(SettingsFile(m_data)).Save(*m_settings));
    EXPECT_FALSE(SaveMacroList(MacroStore{}, m_data));
}

TEST_F(SettingsFilesTest, MacroListRoundTripsInStoreOrderAndNoFileIsAnEmptyList) {
    MacroStore store;
    LoadMacroList(store, m_data);
    EXPECT_TRUE(store.Empty());
    ASSERT_TRUE(SaveMacroList(store, m_data));
    EXPECT_EQ(RegularFileSize(MacroFile(m_data)), 0u);
    LoadMacroList(store, m_data);
    EXPECT_TRUE(store.Empty());

    store.Append(Macro(u'a', 1));
    store.Append(Macro(u'b', 46));
    ASSERT_TRUE(SaveMacroList(store, m_data));
    EXPECT_EQ(RegularFileSize(MacroFile(m_data)), 480u);
    MacroStore loaded;
    loaded.Append(Macro(u'z', 0));  // loading appends to what is there
    LoadMacroList(loaded, m_data);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(BytesOf(loaded.At(1)), BytesOf(store.At(0)));
    EXPECT_EQ(BytesOf(loaded.At(2)), BytesOf(store.At(1)));
}

// A cut-off last record is kept, so that the next save does not lose its bytes for good: what
// is missing reads as zero, and its count covers only the steps that are whole.
TEST_F(SettingsFilesTest, APartialTrailingMacroRecordIsKeptWithItsMissingBytesZero) {
    MacroRecord full = Macro(u'a', 46);
    full.aAction.fill({7, 2, 300});
    std::vector<std::uint8_t> bytes = BytesOf(full);
    bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 56 + 4 * 3 + 2);  // 3.5 steps
    test::WriteBytes(MacroFile(m_data), bytes);

    MacroStore store;
    LoadMacroList(store, m_data);
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(BytesOf(store.At(0)), BytesOf(full));
    MacroRecord partial = full;
    partial.iActionCount = 3;
    std::fill(partial.aAction.begin() + 3, partial.aAction.end(), MacroAction{});
    partial.aAction[3] = {7, 2, 0};
    EXPECT_EQ(BytesOf(store.At(1)), BytesOf(partial));

    // A record cut before its count has no steps; a count beyond the steps is cut to them.
    WriteBytes(MacroFile(m_data), 240 + 50, 0x7F);
    store.Clear();
    LoadMacroList(store, m_data);
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.At(1).iActionCount, 0);
    EXPECT_EQ(store.At(1).iReserved48, 0x7F7F) << "bytes past the end are zero";
}

}  // namespace
}  // namespace veltrix
