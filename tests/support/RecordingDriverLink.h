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

    // What Open_FeatureDevice and SetFeature answer.
    std::int32_t m_iOpenResult = 0;
    std::int32_t m_iSetFeatureResult = 1;

    VeltrixWindowHandle m_window{};

    std::int32_t Set_VIDPID(std::int32_t vid, std::int32_t pid) override {
        Write("Set_VIDPID " + Hex(vid) + " " + Hex(pid));
        return 1;
    }
    std::int32_t Open_DevMonitor(const VeltrixWindowHandle& window, std::uint32_t reportMessage,
                                 std::uint32_t changeMessage) override {
        m_window = window;
        Write("Open_DevMonitor " + std::to_string(reportMessage) + " " +
              std::to_string(changeMessage));
        return 1;
    }
    std::int32_t Open_FeatureDevice() override {
        Write("Open_FeatureDevice");
        return m_iOpenResult;
    }
    std::int32_t SetFeature(std::span<const std::uint8_t> report) override {
        Write("SetFeature " + std::to_string(report.size()));
        return m_iSetFeatureResult;
    }
    std::int32_t GetFeature(std::span<std::uint8_t>) override {
        Write("GetFeature");
        return 0;
    }
    std::int32_t Close_FeatureDevice() override {
        Write("Close_FeatureDevice");
        return 1;
    }
    std::int32_t Close_DevMonitor() override {
        Write("Close_DevMonitor");
        return 1;
    }

  private:
    static std::string Hex(std::int32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
        return text;
    }
    void Write(const std::string& call) { m_log.push_back(m_name + " " + call); }

    std::string m_name;
    Log& m_log;
};

}  // namespace veltrix::test
