#include <array>
#include <set>

#include <gtest/gtest.h>

#include "device/HidDriverLink.h"
#include "platform/MessageQueue.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using Folders = std::vector<std::filesystem::path>;

// Every call through an unbound link does nothing and answers 0, whatever the library holds.
void ExpectEveryCallIsANoOp(HidDriverLink& link) {
    MessageQueue queue;
    std::array<std::uint8_t, 4> report = {0x0C, 0x04, 0x01, 0x05};
    EXPECT_FALSE(link.IsBound());
    EXPECT_EQ(link.Set_VIDPID(kVeltrixVendorId, kReceiverProductId), 0);
    EXPECT_EQ(link.Open_DevMonitor(queue.Handle(), 1329, 1330), 0);
    EXPECT_EQ(link.Open_FeatureDevice(), 0);
    EXPECT_EQ(link.SetFeature(report), 0);
    EXPECT_EQ(link.GetFeature(report), 0);
    EXPECT_EQ(link.Close_FeatureDevice(), 0);
    EXPECT_EQ(link.Close_DevMonitor(), 0);
    EXPECT_EQ(queue.TryTake(), std::nullopt);
}

TEST(HidDriverLink, BothPluginsBindAndExportTheSevenEntryPointsOnly) {
    const std::set<std::string> entryPoints = {
        "Set_VIDPID", "Open_DevMonitor",     "Open_FeatureDevice", "SetFeature",
        "GetFeature", "Close_FeatureDevice", "Close_DevMonitor",
    };
    for (const std::string_view name : {kReceiverLibraryName, kCableLibraryName}) {
        const std::filesystem::path path = std::filesystem::path(PLUGIN_DIR) / name;
        // Anything else exported could bind one copy's calls to the other's code.
        EXPECT_EQ(test::ExportedSymbols(path), entryPoints) << name;

        HidDriverLink link;
        EXPECT_TRUE(link.Bind(name, Folders{PLUGIN_DIR})) << link.Error();
        EXPECT_EQ(link.LibraryPath(), path);
        link.Unbind();
        ExpectEveryCallIsANoOp(link);
    }
}

TEST(HidDriverLink, AMissingOrBrokenLibraryLeavesTheLinkUnbound) {
    test::TempDir empty;
    HidDriverLink link;
    EXPECT_FALSE(link.Bind(kReceiverLibraryName, Folders{empty.Path()}));
    EXPECT_NE(link.Error().find("hiddriver_1.so"), std::string::npos) << link.Error();
    ExpectEveryCallIsANoOp(link);

    EXPECT_TRUE(link.Bind(kReceiverLibraryName, Folders{empty.Path(), PLUGIN_DIR}));
    EXPECT_EQ(link.LibraryPath().parent_path(), std::filesystem::path(PLUGIN_DIR));

    // Six entry points that answer 7 and post at once: none of them may be reached. A broken
    // library found first is not passed over for a good one further on.
    EXPECT_FALSE(link.Bind(kReceiverLibraryName, Folders{PARTIAL_PLUGIN_DIR, PLUGIN_DIR}));
    EXPECT_NE(link.Error().find("GetFeature"), std::string::npos) << link.Error();
    ExpectEveryCallIsANoOp(link);
}

}  // namespace
}  // namespace veltrix
