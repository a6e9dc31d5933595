#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"
#include "support/ByteImage.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::FileBytes;
using test::TempDir;

test::ProcessResult Veltrixctl(const std::vector<std::string>& args) {
    return test::RunProcess(VELTRIXCTL_PATH, args);
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Veltrixctl, ShowPrintsEveryProfileReadably) {
    TempDir dir;
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    settings->iCurProfile = 2;
    ButtonEntry& key = settings->Profiles[2].aButton[7];
    key.byFuncCode = 16;
    key.byKeyCode = 4;
    key.byKeyModifiers = 1;
    ButtonEntry& macro = settings->Profiles[2].aButton[8];
    macro.byFuncCode = 17;
    std::copy_n(u"Reload \u00C4", 8, macro.szMacroName.begin());
    // A name from someone else's profile file must not drive the user's terminal.
    ButtonEntry& hostile = settings->Profiles[2].aButton[9];
    hostile.byFuncCode = 17;
    std::copy_n(u"\x1b]0;x\x07\u009b2J\x7f", 10, hostile.szMacroName.begin());
    settings->Profiles[2].iReportRate = 7;
    ASSERT_TRUE(WriteFileAtomically(dir / "record", RecordBytes(*settings)));

    const auto result = Veltrixctl({"show", dir / "record"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_NE(out.find("current profile 3\n"), std::string::npos) << out;
    EXPECT_NE(out.find("2  1600 dpi  #00ff00  on"), std::string::npos) << out;
    EXPECT_NE(out.find("5  0 dpi  #00ffff  off"), std::string::npos) << out;
    EXPECT_NE(out.find("500 Hz (stored value 7)"), std::string::npos);
    EXPECT_NE(out.find(" 8  key_A (modifiers 0x01)\n"), std::string::npos) << out;
    EXPECT_NE(out.find(" 9  macro \"Reload \xC3\x84\"\n"), std::string::npos) << out;
    EXPECT_NE(out.find("10  macro \"\\x1b]0;x\\x07\\xc2\\x9b2J\\x7f\"\n"), std::string::npos)
        << out;
    EXPECT_EQ(out.find_first_of("\x1b\x07\x7f"), std::string::npos);
    EXPECT_NE(out.find("lighting  mode 7, brightness 8, speed 5, direction 1, colour #ff0000"),
              std::string::npos);
}

TEST(Veltrixctl, BadInputGivesOneLineAndExitCode2) {
    TempDir dir;
    std::ofstream(dir / "short") << "too short";
    ASSERT_TRUE(WriteFileAtomically(dir / "record", RecordBytes(DefaultProfileSettings())));

    const std::vector<std::vector<std::string>> calls = {
        {"show", dir / "missing"},
        {"show", dir / "short"},
        {"show"},
        {"frobnicate"},
        {"defaults", dir / "no" / "such" / "folder"},
        {"reports", dir / "short", "0", "1"},
        {"reports", dir / "short", "-1", "0"},
        {"reports", dir / "short", "2", "1x"},
        {"apply", dir / "short", "0", "1"},
        {"status", "now"},
        {"export", dir / "short", "1", dir / "out.pro"},
        {"export", dir / "record", "0", dir / "out.pro"},
        {"export", dir / "record", "1", dir / "no" / "such" / "out.pro"},
        {"import", dir / "record", "6", dir / "in.pro"},
        {"import", dir / "record", "1", dir / "missing.pro"},
        {},
    };
    for (const auto& args : calls) {
        const auto result = Veltrixctl(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args[0]);
        if (!args.empty()) {
            EXPECT_EQ(Lines(result.err), 1) << result.err;
            EXPECT_EQ(result.err.rfind("veltrixctl: ", 0), 0u) << result.err;
        }
    }
    EXPECT_NE(Veltrixctl({"show", dir / "short"}).err.find("9 bytes"), std::string::npos);
}

TEST(Veltrixctl, ReportsPrintsWhatARequestWouldSendCommitLast) {
    TempDir dir;
    ASSERT_EQ(Veltrixctl({"defaults", dir / "record"}).exitCode, 0);

    auto result = Veltrixctl({"reports", dir / "record", "0", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Five times DPI, lighting and rate, the five button reports and the commit.
    ASSERT_EQ(Lines(result.out), 21) << result.out;
    EXPECT_EQ(result.out.rfind("04 32 01 08 08 0f 00 00 16 24 49 73 00 00 00 00 16 24 49 73 ", 0),
              0u)
        << result.out;
    EXPECT_NE(result.out.find("00 00 09 00 00 0a 00 00 00 00\n0c 04 01 05\n"), std::string::npos);

    result = Veltrixctl({"reports", dir / "record", "4", "3"});
    EXPECT_EQ(result.out, "06 09 04 02 00 00 00 00 00\n0c 04 01 05\n");
}

TEST(Veltrixctl, ExportAndImportMoveAProfileWithItsMacrosToAnotherInstallation) {
    TempDir here, there;
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ProfileData& shared = settings->Profiles[1];
    shared.aiDpiValue[0] = 24;
    ButtonEntry& macro = shared.aButton[4];
    macro.byFuncCode = 17;
    std::copy_n(u"Reload", 6, macro.szMacroName.begin());
    macro.wMacroActionCount = 2;
    macro.aMacroAction[0] = {4, 1, 30};
    macro.aMacroAction[1] = {4, 2, 0};
    macro.iMacroIndex = 0;
    ButtonEntry& hostile = shared.aButton[5];
    hostile.byFuncCode = 17;
    std::copy_n(u"\x1b[31mRed", 8, hostile.szMacroName.begin());
    ASSERT_TRUE(WriteFileAtomically(here / "Config_1.data", RecordBytes(*settings)));

    auto result = Veltrixctl({"export", here / "Config_1.data", "2", here / "shared.pro"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(FileBytes(here / "shared.pro"), test::BytesOf(shared));

    const std::filesystem::path config = there / "ms_1" / "Config_1.data";
    std::filesystem::create_directories(config.parent_path());
    ASSERT_EQ(Veltrixctl({"defaults", config}).exitCode, 0);
    result = Veltrixctl({"import", config, "5", here / "shared.pro"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "added macro \"Reload\"\nadded macro \"\\x1b[31mRed\"\n");
    auto expected = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    expected->Profiles[4] = shared;
    expected->Profiles[4].aButton[5].iMacroIndex = 1;
    EXPECT_EQ(FileBytes(config), test::BytesOf(*expected));
    EXPECT_EQ(FileBytes(there / "ms_1" / "macro.data").size(), 480u);
}

TEST(Veltrixctl, ImportOfAWrongSizedFileChangesNoFile) {
    TempDir dir;
    ASSERT_EQ(Veltrixctl({"defaults", dir / "Config_1.data"}).exitCode, 0);
    std::ofstream(dir / "macro.data", std::ios::binary) << std::string(240, 'm');
    const auto config = FileBytes(dir / "Config_1.data");
    const auto macros = FileBytes(dir / "macro.data");
    std::ofstream(dir / "in.pro", std::ios::binary) << std::string(32873, '\x11');
    const auto result = Veltrixctl({"import", dir / "Config_1.data", "3", dir / "in.pro"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("32873 bytes, not the 32872"), std::string::npos) << result.err;
    EXPECT_EQ(FileBytes(dir / "Config_1.data"), config);
    EXPECT_EQ(FileBytes(dir / "macro.data"), macros);
    const auto entries = std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    EXPECT_EQ(entries, 3) << "no temporary file is left behind";
}

}  // namespace
}  // namespace veltrix
