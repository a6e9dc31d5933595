// A process killed outright in the middle of saving leaves each settings file whole: the bytes of
// the save before or of the one it was making, never a mix and never a truncation.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "SaveLoopContents.h"
#include "profile/SettingsFiles.h"
#include "profile/SettingsKeeper.h"
#include "support/ByteImage.h"
#include "support/EmulatorProcess.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;

using test::FileBytes;

std::vector<std::uint8_t> MacroBytes(const MacroStore& store) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < store.Count(); ++i) {
        const std::vector<std::uint8_t> record = test::BytesOf(store.At(i));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

// Which content the file holds: 0 or 1, or -1 for neither.
int ContentOf(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t> (&both)[2]) {
    return bytes == both[0] ? 0 : bytes == both[1] ? 1 : -1;
}

TEST(CrashSafeSave, AThousandKillsInTheMiddleOfSavingLeaveBothFilesWhole) {
    constexpr int kKills = 1000;
    // Killing a process leaves the files as the kernel holds them, whether they have reached the
    // disk or not, so memory does as well as a disk here and lets each kill come sooner.
    const std::filesystem::path shm = "/dev/shm";
    test::TempDir dir(std::filesystem::is_directory(shm) ? shm
                                                         : std::filesystem::temp_directory_path());
    const std::filesystem::path data = dir / "Data";
    const test::SaveLoopContent contents[] = {test::MakeSaveLoopContent(0),
                                              test::MakeSaveLoopContent(1)};
    const std::vector<std::uint8_t> settingsBytes[] = {test::BytesOf(*contents[0].settings),
                                                       test::BytesOf(*contents[1].settings)};
    const std::vector<std::uint8_t> macroBytes[] = {MacroBytes(contents[0].macros),
                                                    MacroBytes(contents[1].macros)};
    ASSERT_TRUE(SettingsKeeper(SettingsFile(data)).Save(*contents[0].settings));
    ASSERT_TRUE(SaveMacroList(contents[0].macros, data));

    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Each kill falls within the first few rounds of saving.
    std::uniform_int_distribution<int> kMoment(0, 2000);

    int seen[2][2] = {};
    int leftovers = 0;
    test::ChildProcess saver(SAVE_LOOP_PATH, {data.string()});
    for (int kill = 0; kill < kKills; ++kill) {
        const std::optional<std::string> saving = saver.ReadLine(test::kPatience);
        ASSERT_TRUE(saving && saving->starts_with("saving ")) << saver.ErrorOutput();
        std::this_thread::sleep_for(std::chrono::microseconds(kMoment(random)));
        ::kill(std::stoi(saving->substr(7)), SIGKILL);
        ASSERT_EQ(saver.ReadLine(test::kPatience), "killed") << saver.ErrorOutput();

        const int settings = ContentOf(FileBytes(SettingsFile(data)), settingsBytes);
        const int macros = ContentOf(FileBytes(MacroFile(data)), macroBytes);
        ASSERT_NE(settings, -1) << "Config_1.data damaged by kill " << kill;
        ASSERT_NE(macros, -1) << "macro.data damaged by kill " << kill;
        ++seen[0][settings];
        ++seen[1][macros];
        // A save cut short leaves its unfinished new file behind, never in the file's place.
        for (const auto& entry : std::filesystem::directory_iterator(SettingsFolder(data))) {
            if (entry.path() != SettingsFile(data) && entry.path() != MacroFile(data)) {
                std::filesystem::remove(entry.path());
                ++leftovers;
            }
        }
        saver.Signal(SIGUSR1);  // the next saving process
    }
    // The kills landed at many moments: both contents were found in each file, and some kills
    // caught a save half done.
    EXPECT_GT(seen[0][0], 0);
    EXPECT_GT(seen[0][1], 0);
    EXPECT_GT(seen[1][0], 0);
    EXPECT_GT(seen[1][1], 0);
    EXPECT_GT(leftovers, 0);
    std::cout << "kills " << kKills << ", Config_1.data old/new " << seen[0][0] << "/" << seen[0][1]
              << ", macro.data " << seen[1][0] << "/" << seen[1][1]
              << ", unfinished temporary files " << leftovers << "\n";
}

}  // namespace
}  // namespace veltrix
