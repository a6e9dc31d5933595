#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device/DriverLink.h"

namespace veltrix::test {

// Stands in for a driver library where no mouse can be plugged in: it answers as a library with or
// without its device would, and writes each call into a log that both links share, so a test sees
// the order of calls across them. One thread only.
class RecordingDriverLink final : public DriverLink {
  public:
    using Log = std::vector<std::string>;

    RecordingDriverLink(std::string name, Log& log) : m_name(std::move(name)), m_log(log) {}

    std::int32_t m_iOpenResult = 0;  // what Open_FeatureDevice answers
    VeltrixWindowHandle m_window{};  // where the library posts its messages

    std::int32_t Set_VIDPID(std::int32_t vid, std::int32_t pid) override {
        char call[32];
        std::snprintf(call, sizeof call, "Set_VIDPID %04x %04x", static_cast<unsigned>(vid),
                      static_cast<unsigned>(pid));
        return Write(call);
    }
    std::int32_t Open_DevMonitor(const VeltrixWindowHandle& window, std::uint32_t reportMessage,
                                 std::uint32_t changeMessage) override {
        m_window = window;
        return Write("Open_DevMonitor " + std::to_string(reportMessage) + " " +
                     std::to_string(changeMessage));
    }
    std::int32_t Open_FeatureDevice() override {
        return Write("Open_FeatureDevice", m_iOpenResult);
    }
    std::int32_t SetFeature(std::span<const std::uint8_t>) override { return Write("SetFeature"); }
    std::int32_t GetFeature(std::span<std::uint8_t>) override { return Write("GetFeature", 0); }
    std::int32_t Close_FeatureDevice() override { return Write("Close_FeatureDevice"); }
    std::int32_t Close_DevMonitor() override { return Write("Close_DevMonitor"); }

  private:
    std::int32_t Write(const std::string& call, std::int32_t result = 1) {
        m_log.push_back(m_name + " " + call);
        return result;
    }

    std::string m_name;
    Log& m_log;
};

}  // namespace veltrix::test
