#include <cstring>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

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
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    const std::vector<char> bytes(size, static_cast<char>(value));
    out.write(bytes.data(), static_cast<std::streamsize>(size));
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

TEST_F(SettingsFilesTest, AShortFileFillsOnlyTheBeginningAndResetsNothing) {
    WriteBytes(SettingsFile(m_data), 100, 0x5A);
    EXPECT_EQ(LoadSettings(*m_settings, m_data), SettingsSource::File);
    const std::vector<std::uint8_t> bytes = BytesOf(*m_settings);
    EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 100, 0x5A), 100);
    EXPECT_EQ(std::count(bytes.begin() + 100, bytes.end(), 0), 164364 - 100);
    EXPECT_EQ(RegularFileSize(SettingsFile(m_data)), 100u) << "the short file is not rewritten";
}

// A settings file that is there but cannot be read may hold the user's only copy of their
// settings: the run goes on with the defaults, and nothing is written over the file until the
// user changes a setting.
TEST_F(SettingsFilesTest, AFileThatCannotBeReadIsNotOverwrittenUntilTheUserChangesASetting) {
    std::filesystem::create_directories(SettingsFolder(m_data));
    // Reading /proc/self/mem at offset 0 fails with an I/O error, even for root.
    std::filesystem::create_symlink("/proc/self/mem", SettingsFile(m_data));
    SettingsKeeper keeper(SettingsFile(m_data));
    EXPECT_EQ(keeper.Load(*m_settings), SettingsSource::Unreadable);
    EXPECT_EQ(BytesOf(*m_settings), BytesOf(DefaultProfileSettings()));
    EXPECT_TRUE(keeper.SavingHeld());
    EXPECT_FALSE(keeper.Save(*m_settings));
    EXPECT_TRUE(std::filesystem::is_symlink(SettingsFile(m_data)));

    keeper.MarkUserChange();
    m_settings->iCurProfile = 3;
    EXPECT_TRUE(keeper.Save(*m_settings));
    auto reloaded = std::make_unique<ProfileSettings>();
    EXPECT_EQ(LoadSettings(*reloaded, m_data), SettingsSource::File);
    EXPECT_EQ(reloaded->iCurProfile, 3);

    // A folder in the file's place is left alone as well.
    TempDir other;
    std::filesystem::create_directories(SettingsFile(other.Path()));
    EXPECT_EQ(LoadSettings(*m_settings, other.Path()), SettingsSource::Unreadable);
    EXPECT_TRUE(std::filesystem::is_directory(SettingsFile(other.Path())));
}

TEST_F(SettingsFilesTest, SaveFailsCleanlyWhenTheSettingsFolderIsBlocked) {
    WriteBytes(m_data / "ms_1", 3, 0);  // a file where the folder should be
    ResetProfileSettings(*m_settings);
    EXPECT_FALSE(SettingsKeeper(SettingsFile(m_data)).Save(*m_settings));
    EXPECT_FALSE(SaveMacroList(MacroStore{}, m_data));
}

TEST_F(SettingsFilesTest, MacroListRoundTripsInStoreOrder) {
    MacroStore store;
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

TEST_F(SettingsFilesTest, EmptyAndMissingMacroFilesGiveAnEmptyStore) {
    MacroStore store;
    LoadMacroList(store, m_data);
    EXPECT_TRUE(store.Empty());

    ASSERT_TRUE(SaveMacroList(store, m_data));
    EXPECT_EQ(RegularFileSize(MacroFile(m_data)), 0u);
    LoadMacroList(store, m_data);
    EXPECT_TRUE(store.Empty());
}

// A cut-off last record is kept, so that the next save does not lose its bytes for good: what
// is missing reads as zero, and its count covers only the steps that are whole.
TEST_F(SettingsFilesTest, APartialTrailingMacroRecordIsKeptWithItsMissingBytesZero) {
    MacroRecord full = Macro(u'a', 46);
    full.aAction.fill({7, 2, 300});
    std::vector<std::uint8_t> bytes = BytesOf(full);
    bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 56 + 4 * 3 + 2);  // 3.5 steps
    std::filesystem::create_directories(SettingsFolder(m_data));
    std::ofstream(MacroFile(m_data), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

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
