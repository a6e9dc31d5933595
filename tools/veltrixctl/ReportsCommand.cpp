#include <iostream>
#include <string>

#include "Command.h"
#include "RequestArguments.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"

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
        std::cout << ReportHexLine(report.bytes) << "\n";
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
