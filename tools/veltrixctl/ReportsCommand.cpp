#include <charconv>
#include <iostream>
#include <string>

#include "Command.h"
#include "RecordFile.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"

namespace veltrix::ctl {
namespace {

template <typename T>
bool ParseInteger(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}

}  // namespace

int RunReports(Arguments args) {
    if (args.size() != 3) {
        return UsageError("reports takes three arguments: the settings file, wParam and lParam");
    }
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    if (!ParseInteger(args[1], wParam)) {
        return UsageError("wParam must be a whole number of at least 0, not '" + args[1] + "'");
    }
    if (!ParseInteger(args[2], lParam)) {
        return UsageError("lParam must be a whole number, not '" + args[2] + "'");
    }
    std::string error;
    const std::unique_ptr<ProfileSettings> settings = ReadRecordFile(args[0], error);
    if (!settings) {
        return UsageError(error);
    }

    // The worker's own request logic. The link flags only choose between receiver and cable,
    // which a dry run does not show.
    RecordingTransport transport;
    const LinkFlags flags;
    ReportSender sender(transport, flags, InstantClock());
    sender.SendRequest(*settings, wParam, lParam);

    for (const SentReport& report : transport.Sent()) {
        std::cout << ReportHexLine(report.bytes) << "\n";
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
