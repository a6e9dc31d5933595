#include <cstdio>
#include <iostream>
#include <string>

#include "Command.h"
#include "RequestArguments.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"

namespace veltrix::ctl {

int RunReports(Arguments args) {
    RequestArguments request;
    std::string error;
    if (!ReadRequestArguments("reports", args, request, error)) {
        return UsageError(error);
    }

    // The worker's own request logic. The link flags only choose between receiver and cable,
    // which a dry run does not show.
    RecordingTransport transport;
    const LinkFlags flags;
    ReportSender sender(transport, flags, InstantClock());
    sender.SendRequest(*request.settings, request.wParam, request.lParam);

    for (const SentReport& report : transport.Sent()) {
        std::string line;
        for (const std::uint8_t byte : report.bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, line.empty() ? "%02x" : " %02x", byte);
            line += hex;
        }
        std::cout << line << "\n";
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
