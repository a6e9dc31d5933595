#include "RequestArguments.h"

#include <charconv>

#include "RecordFile.h"

namespace veltrix::ctl {
namespace {

template <typename T>
bool ParseInteger(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}

}  // namespace

bool ReadRequestArguments(std::string_view command, Arguments args, RequestArguments& request,
                          std::string& error) {
    if (args.size() != 3) {
        error =
            std::string(command) + " takes three arguments: the settings file, wParam and lParam";
        return false;
    }
    if (!ParseInteger(args[1], request.wParam)) {
        error = "wParam must be a whole number of at least 0, not '" + args[1] + "'";
        return false;
    }
    if (!ParseInteger(args[2], request.lParam)) {
        error = "lParam must be a whole number, not '" + args[2] + "'";
        return false;
    }
    request.settings = ReadRecordFile(args[0], error);
    return request.settings != nullptr;
}

}  // namespace veltrix::ctl
