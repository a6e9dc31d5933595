// The autostart switch: the entry in a private XDG_CONFIG_HOME, written, read back and removed.

#include <fstream>

#include <gtest/gtest.h>

#include "platform/Autostart.h"
#include "platform/Paths.h"
#include "support/ByteImage.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

namespace fs = std::filesystem;

class AutostartTest : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    test::ScopedEnv m_config{"XDG_CONFIG_HOME", (m_dir / "config").c_str()};
    test::ScopedEnv m_path{"PATH", (m_dir / "bin").c_str()};
    const fs::path m_entry = m_dir / "config" / "autostart" / "io.veltrix.Wireless.desktop";
    // Where earlier versions wrote the entry.
    const fs::path m_oldEntry = m_dir / "config" / "autostart" / "veltrix-wireless.desktop";
};

TEST_F(AutostartTest, TheSwitchWritesTheEntryAndRemovesIt) {
    EXPECT_EQ(AutostartFile(), m_entry);
    EXPECT_FALSE(AutostartEnabled());
    EXPECT_TRUE(SetAutostart(false));  // nothing to remove

    fs::create_directories(m_dir / "bin");
    std::ofstream(m_dir / "bin" / "veltrix-wireless") << "#!/bin/sh\n";
    ASSERT_TRUE(SetAutostart(true, m_dir / "bin" / "veltrix-wireless"));
    EXPECT_TRUE(AutostartEnabled());
    const std::string text = test::FileText(m_entry);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\n")) << text;
    // Installed on PATH: named by its name, so a reinstall elsewhere on PATH keeps working.
    EXPECT_NE(text.find("\nExec=veltrix-wireless --hidden\n"), std::string::npos) << text;
    // Once the program is removed, the session no longer tries to start it.
    EXPECT_NE(text.find("\nTryExec=veltrix-wireless\n"), std::string::npos) << text;
    EXPECT_EQ(fs::directory_iterator(m_entry.parent_path())->path(), m_entry);  // no leftovers

    ASSERT_TRUE(SetAutostart(false));
    EXPECT_FALSE(fs::exists(m_entry));
    EXPECT_FALSE(AutostartEnabled());

    // An entry of an earlier version under the old name is on, and either switch removes it, so
    // the program is never started twice nor started after it was switched off.
    for (const bool enable : {true, false}) {
        std::ofstream(m_oldEntry) << "[Desktop Entry]\nType=Application\nExec=veltrix-wireless\n";
        EXPECT_TRUE(AutostartEnabled());
        ASSERT_TRUE(SetAutostart(enable, m_dir / "bin" / "veltrix-wireless"));
        EXPECT_FALSE(fs::exists(m_oldEntry));
        EXPECT_EQ(fs::exists(m_entry), enable);
        EXPECT_EQ(AutostartEnabled(), enable);
    }
}

TEST_F(AutostartTest, AnEntryTheDesktopSwitchedOffReadsAsOff) {
    ASSERT_TRUE(SetAutostart(true, "/opt/veltrix/bin/veltrix-wireless"));
    std::ofstream(m_entry, std::ios::app) << "Hidden = true\n";
    EXPECT_FALSE(AutostartEnabled());
    ASSERT_TRUE(SetAutostart(true, "/opt/veltrix/bin/veltrix-wireless"));
    EXPECT_TRUE(AutostartEnabled());
}

TEST_F(AutostartTest, AProgramOffThePathIsStartedByItsQuotedAbsolutePath) {
    // Not the copy that PATH finds: a build tree or an unpacked package.
    fs::create_directories(m_dir / "bin");
    std::ofstream(m_dir / "bin" / "veltrix-wireless") << "#!/bin/sh\n";
    const fs::path odd = "/home/a b/100% \"$HOME\"\\build/veltrix-wireless";
    ASSERT_TRUE(SetAutostart(true, odd));
    const std::string text = test::FileText(m_entry);
    EXPECT_NE(text.find("\nExec=\"/home/a b/100%% \\\\\"\\\\$HOME\\\\\"\\\\\\\\build/"
                        "veltrix-wireless\" --hidden\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nTryExec=/home/a b/100% \"$HOME\"\\\\build/veltrix-wireless\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(DesktopExecArgument("/usr/bin/veltrix-wireless"), "/usr/bin/veltrix-wireless");

    const fs::path validate = "/usr/bin/desktop-file-validate";
    if (fs::exists(validate)) {
        const test::ProcessResult result = test::RunProcess(validate, {m_entry});
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_EQ(result.out, "") << text;
    }
}

TEST_F(AutostartTest, AnAutostartFolderThatCannotBeMadeFailsTheSwitch) {
    fs::create_directories(m_dir / "config");
    std::ofstream(m_dir / "config" / "autostart") << "a file where the folder should be";
    EXPECT_FALSE(SetAutostart(true, "/usr/bin/veltrix-wireless"));
    EXPECT_FALSE(AutostartEnabled());
}

}  // namespace
}  // namespace veltrix
