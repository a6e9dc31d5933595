#include <array>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "device/HidDriverLink.h"
#include "platform/MessageQueue.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::TempDir;

const std::set<std::string> kEntryPointNames = {
    "Set_VIDPID", "Open_DevMonitor",     "Open_FeatureDevice", "SetFeature",
    "GetFeature", "Close_FeatureDevice", "Close_DevMonitor",
};

// Every call through an unbound link does nothing and answers 0, whatever the library holds.
void ExpectEveryCallIsANoOp(HidDriverLink& link) {
    MessageQueue queue;
    const VeltrixWindowHandle window = queue.Handle();
    std::array<std::uint8_t, 4> report = {0x0C, 0x04, 0x01, 0x05};
    EXPECT_EQ(link.Set_VIDPID(kVeltrixVendorId, kReceiverProductId), 0);
    EXPECT_EQ(link.Open_DevMonitor(window, 1329, 1330), 0);
    EXPECT_EQ(link.Open_FeatureDevice(), 0);
    EXPECT_EQ(link.SetFeature(report), 0);
    EXPECT_EQ(link.GetFeature(report), 0);
    EXPECT_EQ(link.Close_FeatureDevice(), 0);
    EXPECT_EQ(link.Close_DevMonitor(), 0);
    EXPECT_EQ(queue.TryTake(), std::nullopt);
}

TEST(HidDriverLink, BindsAllSevenEntryPointsOfBothPlugins) {
    const std::vector<std::filesystem::path> folders = {PLUGIN_DIR};
    for (const std::string_view name : {kReceiverLibraryName, kCableLibraryName}) {
        HidDriverLink link;
        EXPECT_TRUE(link.Bind(name, folders)) << link.Error();
        EXPECT_TRUE(link.IsBound());
        EXPECT_EQ(link.LibraryPath(), std::filesystem::path(PLUGIN_DIR) / name);
        link.Unbind();
        EXPECT_FALSE(link.IsBound());
        ExpectEveryCallIsANoOp(link);
    }
}

TEST(HidDriverLink, PluginsExportTheSevenEntryPointsAndNothingElse) {
    for (const std::string_view name : {kReceiverLibraryName, kCableLibraryName}) {
        const auto nm = test::RunProcess(
            "/usr/bin/nm",
            {"-D", "--defined-only", std::string(PLUGIN_DIR) + "/" + std::string(name)});
        ASSERT_EQ(nm.exitCode, 0) << nm.err;
        std::set<std::string> exported;
        std::istringstream lines(nm.out);
        std::string address, type, symbol;
        while (lines >> address >> type >> symbol) {
            exported.insert(symbol);
        }
        EXPECT_EQ(exported, kEntryPointNames) << name;
    }
}

TEST(HidDriverLink, AMissingLibraryLeavesTheLinkUnbound) {
    TempDir empty;
    HidDriverLink link;
    const std::vector<std::filesystem::path> folders = {empty.Path()};
    EXPECT_FALSE(link.Bind(kReceiverLibraryName, folders));
    EXPECT_FALSE(link.IsBound());
    EXPECT_NE(link.Error().find("hiddriver_1.so"), std::string::npos) << link.Error();
    ExpectEveryCallIsANoOp(link);
}

TEST(HidDriverLink, ALibraryMissingAnEntryPointLeavesTheLinkUnbound) {
    HidDriverLink link;
    const std::vector<std::filesystem::path> folders = {PARTIAL_PLUGIN_DIR};
    EXPECT_FALSE(link.Bind(kReceiverLibraryName, folders));
    EXPECT_FALSE(link.IsBound());
    EXPECT_NE(link.Error().find("GetFeature"), std::string::npos) << link.Error();
    // The six entry points it has answer 7 and post at once: none of them may be reached.
    ExpectEveryCallIsANoOp(link);
}

TEST(HidDriverLink, TakesTheLibraryFromTheFirstFolderThatHasIt) {
    TempDir empty;
    HidDriverLink link;
    const std::vector<std::filesystem::path> fallsThrough = {empty.Path(), PLUGIN_DIR};
    EXPECT_TRUE(link.Bind(kReceiverLibraryName, fallsThrough)) << link.Error();
    EXPECT_EQ(link.LibraryPath().parent_path(), std::filesystem::path(PLUGIN_DIR));

    // A broken library found first is not passed over for a good one further on.
    const std::vector<std::filesystem::path> brokenFirst = {PARTIAL_PLUGIN_DIR, PLUGIN_DIR};
    EXPECT_FALSE(link.Bind(kReceiverLibraryName, brokenFirst));
    EXPECT_FALSE(link.IsBound());
}

}  // namespace
}  // namespace veltrix
