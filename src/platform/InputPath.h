#pragma once

// Which of the two input paths a recording or a key capture listens through. X11 RECORD hears
// every X client, but only X clients: under a Wayland window it would sit beside an XWayland
// server and never hear the keys typed into the program's own window. So the path follows the
// platform the window runs on, not which servers happen to be reachable.

#include <string_view>

namespace veltrix {

enum class InputPath {
    // The hook plugin: keys and buttons anywhere on the X display.
    X11Record,
    // Keys and clicks made while one of the program's windows has the focus.
    InWindow,
};

// `platformName` as the window system integration names itself ("xcb", "wayland", ...);
// `recordOffered`: the X server the window is on offers RECORD (only asked on "xcb").
InputPath ChooseInputPath(std::string_view platformName, bool recordOffered);

}  // namespace veltrix
