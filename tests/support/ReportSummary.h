#pragma once

#include <string>
#include <vector>

#include "device/RecordingTransport.h"

namespace veltrix::test {

// Sent reports in short, in order: "D3" for the DPI report of profile 3, then L, R and B for the
// lighting, rate and button reports, "M2" for the macro report of slot 2, "C1" for the commit
// to profile 1.
inline std::string ReportSummary(const std::vector<SentReport>& sent) {
    std::string text;
    for (const SentReport& report : sent) {
        const char* kind = report.bytes[0] == 0x04   ? "D"
                           : report.bytes[0] == 0x05 ? "L"
                           : report.bytes[0] == 0x06 ? "R"
                           : report.bytes[0] == 0x08 ? "B"
                           : report.bytes[0] == 0x09 ? "M"
                           : report.bytes[0] == 0x0C ? "C"
                                                     : "?";
        text += (text.empty() ? "" : " ") + std::string(kind) + std::to_string(report.bytes[2]);
    }
    return text;
}

}  // namespace veltrix::test
