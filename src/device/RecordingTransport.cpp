#include "device/RecordingTransport.h"

namespace veltrix {

int RecordingTransport::SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) {
    std::lock_guard lock(m_mutex);
    m_sent.push_back({link, std::vector<std::uint8_t>(report.begin(), report.end())});
    return 1;
}

std::vector<SentReport> RecordingTransport::Sent() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
}

}  // namespace veltrix
