#pragma once

// What the program does with a settings record or a macro that came from outside, gathered so
// that every fuzz target drives the same code: every report that any request sends, as the
// worker builds them, and the record as veltrixctl shows it.

#include <cstddef>
#include <cstdint>

#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "profile/ProfileSettings.h"

namespace veltrix::fuzz {

// Sends every kind of request for the record and turns each report into its hex line, as the
// dry run prints it. `lParam` varies the request's profile.
inline std::size_t SendEveryRequest(const ProfileSettings& settings, std::intptr_t lParam) {
    RecordingTransport transport;
    LinkFlags flags;
    ReportSender sender(transport, flags, InstantClock());
    for (std::uintptr_t area = kApplyProfiles; area <= kApplyRate + 1; ++area) {
        sender.SendRequest(settings, area, area == kApplyProfiles ? kApplyEveryProfile : lParam);
    }
    sender.SendRequest(settings, kApplyProfiles, kApplyCurrentProfile);
    std::size_t text = 0;
    for (const SentReport& report : transport.Sent()) {
        text += ReportHexLine(report.bytes).size();
    }
    return text;
}

}  // namespace veltrix::fuzz
