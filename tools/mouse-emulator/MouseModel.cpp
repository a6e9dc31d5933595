#include "MouseModel.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <utility>

#include "device/FeatureReports.h"
#include "device/ReportText.h"

namespace veltrix::emulator {
namespace {

// The length of each report; a command without one is unknown.
std::optional<std::size_t> FrameLength(std::uint8_t command) {
    switch (command) {
        case kDpiReportCommand:
            return kDpiReportLength;
        case kLightReportCommand:
            return kLightReportLength;
        case kRateReportCommand:
            return kRateReportLength;
        case kButtonReportCommand:
            return kButtonReportLength;
        case kMacroReportCommand:
            return kMacroReportLength;
        case kCommitReportCommand:
            return kCommitReportLength;
        default:
            return std::nullopt;
    }
}

bool IsGoodFrame(std::span<const std::uint8_t> frame) {
    if (frame.size() < 3) {
        return false;
    }
    const std::optional<std::size_t> length = FrameLength(frame[0]);
    if (!length || frame[1] != *length || frame.size() != *length) {
        return false;
    }
    const int number = frame[2];
    return frame[0] == kMacroReportCommand ? number >= 1 && number <= kMacroSlotCount
                                           : number >= 1 && number <= kProfileCount;
}

Rgb RgbAt(std::span<const std::uint8_t> frame, std::size_t at) {
    return {frame[at], frame[at + 1], frame[at + 2]};
}

std::string ColorText(const Rgb& color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color.red, color.green, color.blue);
    return text;
}

// A JSON string of bytes: printable ASCII as it is, everything else escaped as \u00XX.
std::string JsonString(std::string_view bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            text += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            text += escape;
        }
    }
    return text + "\"";
}

template <typename Range, typename Format>
std::string JsonArray(const Range& range, Format format) {
    std::string text = "[";
    for (const auto& item : range) {
        text += (text.size() > 1 ? ", " : "") + format(item);
    }
    return text + "]";
}

std::string Number(int value) {
    return std::to_string(value);
}

std::string ByteList(std::span<const std::uint8_t> bytes) {
    return JsonArray(bytes, [](std::uint8_t byte) { return Number(byte); });
}

const char* Bool(bool value) {
    return value ? "true" : "false";
}

void WriteProfile(std::ostringstream& out, int number, const OnboardProfile& profile) {
    const OnboardDpi& dpi = profile.dpi;
    const OnboardLighting& light = profile.lighting;
    out << "    {\"number\": " << number << ",\n"
        << "     \"dpi\": {\"slot_count_x\": " << Number(dpi.slotCountX)
        << ", \"slot_count_y\": " << Number(dpi.slotCountY)
        << ", \"enabled_mask\": " << Number(dpi.enabledMask)
        << ", \"doubling_mask\": " << Number(dpi.doublingMask)
        << ", \"current_level\": " << Number(dpi.currentLevel) << ",\n"
        << "             \"codes\": " << ByteList(dpi.codes) << ",\n"
        << "             \"colors\": "
        << JsonArray(dpi.colors, [](const Rgb& c) { return "\"" + ColorText(c) + "\""; }) << "},\n"
        << "     \"lighting\": {\"mode\": " << Number(light.mode)
        << ", \"speed\": " << Number(light.speed)
        << ", \"brightness\": " << Number(light.brightness) << ", \"color\": \""
        << ColorText(light.color) << "\", \"param\": " << Number(light.param)
        << ", \"direction\": " << Number(light.direction) << "},\n"
        << "     \"rate_code\": " << Number(profile.rateCode) << ",\n"
        << "     \"buttons\": "
        << JsonArray(profile.buttons,
                     [](const std::array<std::uint8_t, 3>& b) { return ByteList(b); })
        << "}";
}

}  // namespace

bool MouseModel::Plug(DeviceLinkKind link) {
    bool& plugged = link == DeviceLinkKind::Cable ? m_cablePlugged : m_receiverPlugged;
    if (link == DeviceLinkKind::Cable) {
        m_awake = true;
    }
    return !std::exchange(plugged, true);
}

bool MouseModel::Unplug(DeviceLinkKind link) {
    bool& plugged = link == DeviceLinkKind::Cable ? m_cablePlugged : m_receiverPlugged;
    return std::exchange(plugged, false);
}

bool MouseModel::IsPlugged(DeviceLinkKind link) const {
    return link == DeviceLinkKind::Cable ? m_cablePlugged : m_receiverPlugged;
}

bool MouseModel::ReceiveFeature(DeviceLinkKind link, std::span<const std::uint8_t> frame) {
    if (!IsPlugged(link) || (link == DeviceLinkKind::Receiver && !m_awake)) {
        return false;
    }
    m_log.emplace_back(frame.begin(), frame.end());
    if (!IsGoodFrame(frame)) {
        ++m_badFrames;
        return false;
    }
    return Apply(frame);
}

bool MouseModel::Apply(std::span<const std::uint8_t> frame) {
    const int number = frame[2];
    if (frame[0] == kMacroReportCommand) {
        OnboardMacro& macro = m_macros[number];
        macro.repeatMode = frame[3];
        macro.extra = {frame[4], frame[5], frame[6]};
        macro.repeatCount = frame[7];
        const auto name = frame.subspan(8, 20);
        macro.name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
        macro.pairCount = frame[28];
        macro.pairs.clear();
        for (int k = 0; k < std::min<int>(macro.pairCount, kMaxMacroPairs); ++k) {
            const std::size_t at = 29 + 2 * static_cast<std::size_t>(k);
            macro.pairs.push_back({frame[at], frame[at + 1]});
        }
        return true;
    }
    OnboardProfile& profile = m_profiles[static_cast<std::size_t>(number - 1)];
    switch (frame[0]) {
        case kDpiReportCommand: {
            OnboardDpi& dpi = profile.dpi;
            dpi.slotCountX = frame[3];
            dpi.slotCountY = frame[4];
            dpi.enabledMask = frame[5];
            dpi.doublingMask = frame[6];
            std::copy_n(frame.begin() + 8, kDpiLevelCount, dpi.codes.begin());
            dpi.currentLevel = frame[24];
            for (std::size_t level = 0; level < dpi.colors.size(); ++level) {
                dpi.colors[level] = RgbAt(frame, 25 + 3 * level);
            }
            break;
        }
        case kLightReportCommand:
            profile.lighting = {frame[3], frame[4], frame[5], RgbAt(frame, 6), frame[9], frame[10]};
            break;
        case kRateReportCommand:
            profile.rateCode = frame[3];
            break;
        case kButtonReportCommand:
            for (std::size_t button = 0; button < profile.buttons.size(); ++button) {
                const std::size_t at = 3 + 3 * button;
                profile.buttons[button] = {frame[at], frame[at + 1], frame[at + 2]};
            }
            break;
        case kCommitReportCommand:
            m_currentProfile = number;
            break;
    }
    return true;
}

OnboardProfile& MouseModel::CurrentOnboardProfile() {
    return m_profiles[static_cast<std::size_t>(m_currentProfile - 1)];
}

const OnboardProfile& MouseModel::Profile(int number) const {
    return m_profiles.at(static_cast<std::size_t>(number - 1));
}

std::optional<OutgoingReport> MouseModel::InputReport(std::uint16_t code,
                                                      std::uint8_t value) const {
    std::optional<DeviceLinkKind> link;
    if (m_cablePlugged) {
        link = DeviceLinkKind::Cable;
    } else if (m_receiverPlugged) {
        link = DeviceLinkKind::Receiver;
    }
    if (!link) {
        return std::nullopt;
    }
    OutgoingReport report{*link, {}};
    VeltrixEncodeInputReport(code, value, report.bytes.data());
    return report;
}

std::optional<OutgoingReport> MouseModel::PressDpiButton() {
    m_awake = true;
    OnboardDpi& dpi = CurrentOnboardProfile().dpi;
    // A level stored out of range counts as the last one, so the cycle starts over at level 1.
    const int current = dpi.currentLevel >= 1 && dpi.currentLevel <= kDpiLevelCount
                            ? dpi.currentLevel
                            : kDpiLevelCount;
    for (int step = 1; step <= kDpiLevelCount; ++step) {
        const int level = (current - 1 + step) % kDpiLevelCount + 1;
        if ((dpi.enabledMask >> (level - 1) & 1) != 0) {
            dpi.currentLevel = static_cast<std::uint8_t>(level);
            return InputReport(VELTRIX_INPUT_DPI_LEVEL, dpi.currentLevel);
        }
    }
    return std::nullopt;
}

std::optional<OutgoingReport> MouseModel::PressProfileButton() {
    m_awake = true;
    m_currentProfile = m_currentProfile % kProfileCount + 1;
    return InputReport(VELTRIX_INPUT_PROFILE, static_cast<std::uint8_t>(m_currentProfile));
}

std::optional<OutgoingReport> MouseModel::StatusReport() const {
    if (!m_receiverPlugged || !m_awake) {
        return std::nullopt;
    }
    OutgoingReport report{DeviceLinkKind::Receiver, {}};
    const std::uint8_t value =
        VeltrixStatusValue(Profile(m_currentProfile).dpi.currentLevel, m_batteryBars);
    VeltrixEncodeInputReport(VELTRIX_INPUT_STATUS, value, report.bytes.data());
    return report;
}

std::string MouseModel::StateJson() const {
    std::ostringstream out;
    out << "{\n  \"receiver_plugged\": " << Bool(m_receiverPlugged)
        << ",\n  \"cable_plugged\": " << Bool(m_cablePlugged) << ",\n  \"awake\": " << Bool(m_awake)
        << ",\n  \"battery_bars\": " << m_batteryBars
        << ",\n  \"current_profile\": " << m_currentProfile
        << ",\n  \"bad_frames\": " << m_badFrames << ",\n  \"profiles\": [\n";
    for (int number = 1; number <= kProfileCount; ++number) {
        WriteProfile(out, number, Profile(number));
        out << (number < kProfileCount ? ",\n" : "\n");
    }
    out << "  ],\n  \"macros\": [";
    const char* separator = "\n";
    for (const auto& [slot, macro] : m_macros) {
        out << separator << "    {\"slot\": " << slot
            << ", \"repeat_mode\": " << Number(macro.repeatMode)
            << ", \"extra\": " << ByteList(macro.extra)
            << ", \"repeat_count\": " << Number(macro.repeatCount)
            << ", \"name\": " << JsonString(macro.name)
            << ", \"pair_count\": " << Number(macro.pairCount) << ",\n     \"pairs\": "
            << JsonArray(macro.pairs,
                         [](const std::array<std::uint8_t, 2>& pair) { return ByteList(pair); })
            << "}";
        separator = ",\n";
    }
    out << (m_macros.empty() ? "]\n}\n" : "\n  ]\n}\n");
    return out.str();
}

std::string MouseModel::LogText() const {
    std::string text;
    for (const std::vector<std::uint8_t>& frame : m_log) {
        text += ReportHexLine(frame) + '\n';
    }
    return text;
}

}  // namespace veltrix::emulator
