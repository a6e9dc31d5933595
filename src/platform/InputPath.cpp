#include "platform/InputPath.h"

namespace veltrix {

InputPath ChooseInputPath(std::string_view platformName, bool recordOffered) {
    return platformName == "xcb" && recordOffered ? InputPath::X11Record : InputPath::InWindow;
}

}  // namespace veltrix
