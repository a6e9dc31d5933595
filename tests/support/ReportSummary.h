#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/RecordingTransport.h"

namespace veltrix::test {

// Sent reports in short, in order: "D3" for the DPI report of profile 3, then L, R and B for the
// lighting, rate and button reports, "M2" for the macro report of slot 2, "C1" for the commit
// to profile 1.
inline std::string ReportSummary(const std::vector<SentReport>& sent) {
    constexpr std::string_view kKinds = "????DLR?BM??C";  // by command byte
    std::string text;
    for (const SentReport& report : sent) {
        text += text.empty() ? "" : " ";
        text += report.bytes[0] < kKinds.size() ? kKinds[report.bytes[0]] : '?';
        text += std::to_string(report.bytes[2]);
    }
    return text;
}

}  // namespace veltrix::test
