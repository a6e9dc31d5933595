// The input path a recording listens through follows the window's platform: a Wayland window
// with XWayland (and its RECORD) beside it still records what is typed into the window.

#include <gtest/gtest.h>

#include "platform/InputPath.h"

namespace veltrix {
namespace {

TEST(InputPathTest, RecordOnlyUnderAnX11WindowWhoseServerOffersIt) {
    struct Row {
        const char* platform;
        bool record;
        InputPath expected;
    };
    for (const Row& row :
         {Row{"xcb", true, InputPath::X11Record}, Row{"xcb", false, InputPath::InWindow},
          Row{"wayland", true, InputPath::InWindow}, Row{"wayland-egl", true, InputPath::InWindow},
          Row{"offscreen", true, InputPath::InWindow}, Row{"", true, InputPath::InWindow}}) {
        EXPECT_EQ(ChooseInputPath(row.platform, row.record), row.expected)
            << row.platform << " record=" << row.record;
    }
}

}  // namespace
}  // namespace veltrix
