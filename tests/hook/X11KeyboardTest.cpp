#include <gtest/gtest.h>

#include "HookFixture.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11LayoutLookup.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix::test {
namespace {

using X11Layout = HookFixture;

constexpr unsigned kKeyCodeOffset = 8;

TEST_F(X11Layout, EveryKeyOfTheMainBlockLeadsBackToItselfUnderEachLayout) {
    x11::X11Connection connection;
    ASSERT_TRUE(connection.IsOpen());
    x11::X11Keyboard keyboard(connection.Get());
    // Russian has no Latin letter at all; French and German move letters, digits and signs.
    for (const char* layout : {"us", "fr", "de", "ru"}) {
        ASSERT_TRUE(s_server->SetLayout(layout)) << layout;
        keyboard.Update();
        for (const KeyTranslationRow& row : kKeyTranslationTable) {
            if (row.scanCode == 0) {
                continue;
            }
            const unsigned keyCode = row.scanCode + kKeyCodeOffset;
            const std::uint32_t virtualKey = keyboard.VirtualKey(keyCode);
            EXPECT_NE(virtualKey, 0u) << layout << " key " << keyCode;
            EXPECT_EQ(keyboard.ScanCode(virtualKey), row.scanCode) << layout << " key " << keyCode;
            if (std::string(layout) == "us") {
                EXPECT_EQ(virtualKey, row.virtualKey) << "key " << keyCode;
            }
        }
    }
    EXPECT_EQ(connection.ErrorCount(), 0);
}

// Restores "no layout known" when the test ends.
struct ActiveLayoutGuard {
    ~ActiveLayoutGuard() { SetActiveLayoutLookup({}); }
};

TEST_F(X11Layout, KeyCodesNameThePositionOfTheKeyUnderTheActiveLayout) {
    ActiveLayoutGuard guard;
    ASSERT_TRUE(x11::InstallX11LayoutLookup());
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41), 4);  // A on A
    ASSERT_TRUE(s_server->SetLayout("fr"));
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41), 20);  // A where US has Q
    EXPECT_EQ(KeyCodeFromVirtualKey(0x4D), 51);  // M where US has ;
    EXPECT_EQ(KeyCodeFromVirtualKey(0x31), 30);  // 1 shifted on the same key as US
    ASSERT_TRUE(s_server->SetLayout("de"));
    EXPECT_EQ(KeyCodeFromVirtualKey(0x5A), 28);  // Z where US has Y

    SetActiveLayoutLookup({});
    EXPECT_EQ(KeyCodeFromVirtualKey(0x5A), 29);
}

TEST(X11LayoutWithoutServer, KnowsNoLayout) {
    ScopedEnv noDisplay("DISPLAY", nullptr);
    EXPECT_FALSE(x11::X11LayoutLookup());
    EXPECT_FALSE(x11::InstallX11LayoutLookup());
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41), 4);
}

}  // namespace
}  // namespace veltrix::test
