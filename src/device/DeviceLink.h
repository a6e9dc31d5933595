#pragma once

// The state of the mouse's two links, receiver and cable: which is present, whether the mouse is
// awake, what the power display shows, and the changes that the mouse itself makes to the record
// (DPI level, report rate, lighting mode, profile). It runs on the UI thread; the worker reads
// only the atomic LinkFlags.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

#include "device/DeviceLinkView.h"
#include "device/DriverLink.h"
#include "device/FeatureTransport.h"
#include "device/LinkFlags.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/SettingsKeeper.h"

namespace veltrix {

inline constexpr int kTimerChargeAnimation = 53;
inline constexpr int kTimerSleep = 54;
inline constexpr int kTimerReceiverArrival = 55;
inline constexpr int kTimerCableArrival = 56;

// The charge animation fills the power bar in 1.3 s, at 20 frames a second: smooth enough for a
// bar of that size, and a third of the wake-ups of a frame every 30 ms.
inline constexpr std::chrono::milliseconds kChargeAnimationPeriod{50};
inline constexpr int kChargeAnimationStep = 4;
// Without a status report for this long, the wireless mouse is taken to be asleep.
inline constexpr std::chrono::milliseconds kSleepTimeout{3000};
// A device that has just arrived is given this long before it is opened.
inline constexpr std::chrono::milliseconds kArrivalSettleTime{1000};

inline constexpr std::string_view kChargingTextId = "charging_text";
// A status report of this many bars shows that the mouse was charged since its last bar.
inline constexpr int kRechargedBars = 3;

// Values of a link change event.
inline constexpr std::uint32_t kLinkArrival = 1;
inline constexpr std::uint32_t kLinkRemoval = 2;

// The 32-bit event of a driver's report message: the code in the high half, the value below.
constexpr std::uint32_t DriverEvent(std::uintptr_t wParam, std::intptr_t lParam) {
    return static_cast<std::uint32_t>(wParam) << 16 |
           (static_cast<std::uint32_t>(lParam) & 0xFFFFu);
}

// The event of a driver's change message: wParam 1 an arrival, 0 a removal, any other value an
// event that changes nothing.
constexpr std::uint32_t LinkChangeEvent(std::uintptr_t wParam) {
    const std::uint32_t value = wParam == 1 ? kLinkArrival : wParam == 0 ? kLinkRemoval : 0u;
    return DriverEvent(kEventLinkChange, value);
}

// Writes the record wherever its owner keeps it. A failed save leaves the previous file whole,
// and the record in memory keeps the change for the next save.
using RecordSaver = std::function<void(const ProfileSettings&)>;

// The program's saver: through the keeper of its settings file, which must outlive the saver.
RecordSaver SaveThrough(SettingsKeeper& keeper);

class DeviceLink {
  public:
    // Everything given must outlive the link. `window` receives the driver messages and the
    // presence, DPI notice and profile notice messages; `save` (when not empty) runs after each
    // valid DPI level, report rate, lighting or profile event and after a status report that
    // changes the level.
    DeviceLink(DriverLink& receiver, DriverLink& cable, ProfileSettings& settings,
               DeviceLinkView& view, const VeltrixWindowHandle& window, RecordSaver save);
    // Shuts down if that has not happened yet.
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Opens the cable, then the receiver: their device monitors and their devices. Once only.
    void StartDeviceLink();

    // Hands the driver messages (receiver and cable, event and change) to the handlers below;
    // false for any other message.
    bool OnDriverMessage(const Message& message);
    void OnReceiverEvent(std::uint32_t event);
    void OnCableEvent(std::uint32_t event);
    void OnInputEvent(std::uint32_t code, std::uint32_t value);
    // A timer that the link started through its view has fired.
    void OnTimer(int id);
    // The power bar and label show the battery: 25 % a bar.
    void ShowBattery(int bars);
    // Whether anyone can see the power bar (the window is shown and not minimised). The charge
    // animation runs only while the mouse charges and the bar can be seen: no timer otherwise.
    // Seen until told otherwise.
    void SetPowerDisplayShown(bool shown);

    // Closes the receiver's device and monitor, then the cable's. The owner then stops the worker
    // and only after that unloads the driver libraries, receiver first: the worker may be inside
    // SetFeature of either until it has stopped. Events that arrive afterwards change nothing.
    void Shutdown();

    const LinkFlags& Flags() const { return m_flags; }
    // At least one link is present.
    bool Connected() const { return m_bConnected; }
    int BatteryBars() const { return m_iBatteryBars; }
    BatteryState Battery() const { return m_battery; }
    int ChargeStep() const { return m_iChargeStep; }

  private:
    struct Link {
        DriverLink& driver;
        std::atomic<int>& state;
        DeviceLinkKind kind;
        int arrivalTimer;
        bool arrivalPending = false;
    };

    void OnLinkEvent(Link& link, std::uint32_t event);
    void OnArrival(Link& link);
    void CompleteArrival(Link& link);
    void OnRemoval(Link& link);
    void CableAttached();
    bool IsPresent(const Link& link) const;
    bool CountsAsPresent(const Link& link) const;
    Link& Other(const Link& link);
    void AnnouncePresence(bool connected);

    void OnStatusReport(std::uint32_t value);
    void OnBatteryBars(int bars);
    void SetBattery(BatteryState state);
    void UpdateChargeAnimation();
    void SetDpiLevel(int level);
    void Save();
    void Post(std::uint32_t message, std::intptr_t lParam);

    LinkFlags m_flags;
    Link m_receiver;
    Link m_cable;
    ProfileSettings& m_settings;
    DeviceLinkView& m_view;
    VeltrixWindowHandle m_window;
    RecordSaver m_save;

    bool m_bConnected = false;
    int m_iBatteryBars = 0;
    BatteryState m_battery;
    bool m_bLowBatteryWarned = false;
    int m_iChargeStep = 0;
    bool m_bPowerDisplayShown = true;
    bool m_bChargeAnimating = false;
    bool m_bStarted = false;
    bool m_bShutDown = false;
};

}  // namespace veltrix
