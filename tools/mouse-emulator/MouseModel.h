#pragma once

// The emulated mouse itself: what its links and its power are doing, the onboard state of its
// five profiles as the six feature reports program it, and the input reports it sends. No I/O:
// the server feeds it frames and commands and sends what it hands back.
//
// A frame is checked before it changes anything: a known command, its length byte equal to its
// report's length and to the frame's size, and a profile number 1 to 5 (a macro slot 1 to 120 in
// a macro report). A bad frame is logged and counted, changes nothing and is refused.
//
// Before any report the mouse is blank: every field 0, except that each profile has its first
// four DPI levels enabled and level 1 current, and profile 1 is current.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/FeatureTransport.h"
#include "hiddriver/hiddriver_input.h"
#include "profile/ProfileSettings.h"

namespace veltrix::emulator {

// Each macro button of each profile may have a slot of its own.
inline constexpr int kMacroSlotCount = kProfileCount * kButtonEntryCount;

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct OnboardDpi {
    std::uint8_t slotCountX = 0;
    std::uint8_t slotCountY = 0;
    std::uint8_t enabledMask = 0x0F;
    std::uint8_t doublingMask = 0;
    std::array<std::uint8_t, kDpiLevelCount> codes{};
    std::uint8_t currentLevel = 1;  // 1 to 8, as the reports count
    std::array<Rgb, kDpiLevelCount> colors{};
};

struct OnboardLighting {
    std::uint8_t mode = 0;
    std::uint8_t speed = 0;
    std::uint8_t brightness = 0;
    Rgb color;
    std::uint8_t param = 0;
    std::uint8_t direction = 0;
};

struct OnboardProfile {
    OnboardDpi dpi;
    OnboardLighting lighting;
    std::uint8_t rateCode = 0;
    std::array<std::array<std::uint8_t, 3>, kButtonEntryCount> buttons{};
};

struct OnboardMacro {
    std::uint8_t repeatMode = 0;
    std::array<std::uint8_t, 3> extra{};
    std::uint8_t repeatCount = 0;
    std::string name;                                // the name's bytes up to the first zero
    std::uint8_t pairCount = 0;                      // as the report states it
    std::vector<std::array<std::uint8_t, 2>> pairs;  // those the frame has room for
};

// An input report and the link it leaves the mouse on.
struct OutgoingReport {
    DeviceLinkKind link;
    std::array<std::uint8_t, VELTRIX_INPUT_REPORT_LENGTH> bytes;
};

class MouseModel {
  public:
    // True when the link changed. Plugging the cable in wakes the mouse: it is powered.
    bool Plug(DeviceLinkKind link);
    bool Unplug(DeviceLinkKind link);
    bool IsPlugged(DeviceLinkKind link) const;

    void Sleep() { m_awake = false; }
    void Wake() { m_awake = true; }
    bool IsAwake() const { return m_awake; }
    void SetBatteryBars(int bars) { m_batteryBars = bars; }

    // A feature report sent through `link`; true when the mouse accepted it. A report the mouse
    // cannot hear (its link unplugged, or the receiver while the mouse sleeps) is not received.
    bool ReceiveFeature(DeviceLinkKind link, std::span<const std::uint8_t> frame);

    // The buttons on the mouse; they wake it. The DPI button moves the current profile to its
    // next enabled level, the profile button to the next profile; each returns the input report
    // that tells the host, sent through the cable when it is plugged in, else the receiver.
    // Nothing to send when no link is plugged in (or no DPI level is enabled).
    std::optional<OutgoingReport> PressDpiButton();
    std::optional<OutgoingReport> PressProfileButton();

    // The status report of the current DPI level and the battery, sent through the receiver
    // while the mouse is awake; nothing otherwise.
    std::optional<OutgoingReport> StatusReport() const;

    int CurrentProfile() const { return m_currentProfile; }
    const OnboardProfile& Profile(int number) const;
    const std::map<int, OnboardMacro>& Macros() const { return m_macros; }
    int BadFrameCount() const { return m_badFrames; }

    // The whole state as one JSON object.
    std::string StateJson() const;
    // Every frame received, oldest first: one per line, each byte two lowercase hex digits,
    // separated by single spaces.
    std::string LogText() const;
    void ClearLog() { m_log.clear(); }

  private:
    bool Apply(std::span<const std::uint8_t> frame);
    OnboardProfile& CurrentOnboardProfile();
    std::optional<OutgoingReport> InputReport(std::uint16_t code, std::uint8_t value) const;

    bool m_receiverPlugged = true;
    bool m_cablePlugged = false;
    bool m_awake = true;
    int m_batteryBars = 3;
    int m_currentProfile = 1;  // 1 to 5
    std::array<OnboardProfile, kProfileCount> m_profiles{};
    std::map<int, OnboardMacro> m_macros;  // by slot number
    int m_badFrames = 0;
    std::vector<std::vector<std::uint8_t>> m_log;
};

}  // namespace veltrix::emulator
