#include <set>

#include <gtest/gtest.h>

#include "HookFixture.h"
#include "support/Process.h"

namespace veltrix {
namespace {

using Folders = std::vector<std::filesystem::path>;

TEST(HookPluginLink, BindsEachOfTheSevenEntryPointsWhichAreAllThePluginExports) {
    const std::filesystem::path path = std::filesystem::path(PLUGIN_DIR) / kHookLibraryName;
    const std::set<std::string> entryPoints = {
        "installhook",     "removehook",      "enablehook",       "installmousehook",
        "removemousehook", "enablemousehook", "mousewheelenable",
    };
    EXPECT_EQ(test::ExportedSymbols(path), entryPoints);

    HookPluginLink link;
    ASSERT_TRUE(link.Bind(Folders{PLUGIN_DIR})) << link.Error();
    EXPECT_EQ(link.LibraryPath(), path);
    EXPECT_EQ(link.Error(), "");
    const HookEntryPoints& entry = link.EntryPoints();
    EXPECT_NE(entry.installhook, nullptr);
    EXPECT_NE(entry.removehook, nullptr);
    EXPECT_NE(entry.enablehook, nullptr);
    EXPECT_NE(entry.installmousehook, nullptr);
    EXPECT_NE(entry.removemousehook, nullptr);
    EXPECT_NE(entry.enablemousehook, nullptr);
    EXPECT_NE(entry.mousewheelenable, nullptr);
}

TEST(HookPluginLink, SkipsEveryCallItHasNoEntryPointFor) {
    MessageQueue queue;
    test::TempDir empty;
    HookPluginLink link;
    EXPECT_FALSE(link.Bind(Folders{empty.Path()}));
    EXPECT_NE(link.Error().find("Hook.so"), std::string::npos) << link.Error();
    EXPECT_FALSE(link.IsLoaded());
    test::CallEverything(link, queue);
    EXPECT_EQ(queue.TryTake(), std::nullopt);

    // A library with two entry points binds those two; the other five are skipped.
    ASSERT_TRUE(link.Bind(Folders{PARTIAL_PLUGIN_DIR, PLUGIN_DIR}));
    EXPECT_EQ(link.LibraryPath().parent_path(), std::filesystem::path(PARTIAL_PLUGIN_DIR));
    EXPECT_NE(link.Error().find("removehook"), std::string::npos) << link.Error();
    EXPECT_EQ(link.Error().find("enablehook"), std::string::npos) << link.Error();
    test::CallEverything(link, queue, false);
    link.installhook(queue.Handle());
    EXPECT_EQ(queue.TryTake(), (Message{1034, 7, 7}));
    EXPECT_EQ(queue.TryTake(), std::nullopt);
    link.Unbind();
    EXPECT_FALSE(link.IsLoaded());
}

}  // namespace
}  // namespace veltrix
