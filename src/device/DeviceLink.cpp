#include "device/DeviceLink.h"

#include <optional>
#include <string>
#include <utility>

#include "profile/RecordAccess.h"

namespace veltrix {
namespace {

constexpr std::uint32_t kFirstInputCode = 0x1000;
constexpr std::uint32_t kLastInputCode = 0x9000;
// The values the mouse reports for its report rate (1 to 8) and lighting mode (0 to 7).
constexpr std::uint32_t kHighestReportRate = 8;
constexpr std::uint32_t kHighestLightMode = 7;

// The status report gives the DPI level and the battery as a run of set bits from the lowest:
// 1, 3, 7 or 15 is a run of one to four.
std::optional<int> SetBitRun(std::uint32_t nibble) {
    switch (nibble) {
        case 0x1:
            return 1;
        case 0x3:
            return 2;
        case 0x7:
            return 3;
        case 0xF:
            return 4;
        default:
            return std::nullopt;
    }
}

bool InValueRange(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
    return value >= low && value <= high;
}

}  // namespace

RecordSaver SaveThrough(SettingsKeeper& keeper) {
    return [&keeper](const ProfileSettings& settings) { keeper.Save(settings); };
}

DeviceLink::DeviceLink(DriverLink& receiver, DriverLink& cable, ProfileSettings& settings,
                       DeviceLinkView& view, const VeltrixWindowHandle& window, RecordSaver save)
    : m_receiver{receiver, m_flags.m_iReceiverState, DeviceLinkKind::Receiver,
                 kTimerReceiverArrival},
      m_cable{cable, m_flags.m_iCableState, DeviceLinkKind::Cable, kTimerCableArrival},
      m_settings(settings),
      m_view(view),
      m_window(window),
      m_save(std::move(save)) {}

DeviceLink::~DeviceLink() {
    Shutdown();
}

void DeviceLink::StartDeviceLink() {
    if (m_bStarted || m_bShutDown) {
        return;
    }
    m_bStarted = true;

    m_cable.driver.Set_VIDPID(kVeltrixVendorId, kCableProductId);
    m_cable.driver.Open_DevMonitor(m_window, kMsgCableEvent, kMsgCableLink);
    if (m_cable.driver.Open_FeatureDevice() != 0) {
        m_cable.state = kLinkPresent;
        CableAttached();
    } else {
        m_cable.state = kLinkAbsent;
        m_flags.m_bAsleep = 1;
        m_view.ShowSleepLabel(true);
    }

    m_receiver.driver.Set_VIDPID(kVeltrixVendorId, kReceiverProductId);
    m_receiver.driver.Open_DevMonitor(m_window, kMsgReceiverEvent, kMsgReceiverLink);
    m_receiver.state = m_receiver.driver.Open_FeatureDevice() != 0 ? kLinkPresent : kLinkAbsent;

    if (IsPresent(m_receiver) || IsPresent(m_cable)) {
        AnnouncePresence(true);
    } else {
        m_bConnected = false;
    }
}

bool DeviceLink::OnDriverMessage(const Message& message) {
    switch (message.id) {
        case kMsgReceiverEvent:
            OnReceiverEvent(DriverEvent(message.wParam, message.lParam));
            return true;
        case kMsgReceiverLink:
            OnReceiverEvent(LinkChangeEvent(message.wParam));
            return true;
        case kMsgCableEvent:
            OnCableEvent(DriverEvent(message.wParam, message.lParam));
            return true;
        case kMsgCableLink:
            OnCableEvent(LinkChangeEvent(message.wParam));
            return true;
        default:
            return false;
    }
}

void DeviceLink::OnReceiverEvent(std::uint32_t event) {
    OnLinkEvent(m_receiver, event);
}

void DeviceLink::OnCableEvent(std::uint32_t event) {
    OnLinkEvent(m_cable, event);
}

void DeviceLink::OnLinkEvent(Link& link, std::uint32_t event) {
    if (m_bShutDown) {
        return;
    }
    const std::uint32_t code = event >> 16;
    const std::uint32_t value = event & 0xFFFFu;
    if (code == kEventLinkChange) {
        if (value == kLinkArrival) {
            OnArrival(link);
        } else if (value == kLinkRemoval) {
            OnRemoval(link);
        }
    } else if (InValueRange(code, kFirstInputCode, kLastInputCode)) {
        OnInputEvent(code, value);
    }
}

// A device is opened only after it has had a second to settle, and the window must go on
// meanwhile, so the rest of an arrival runs when the link's arrival timer fires. While that
// second runs, a repeated arrival for the link changes nothing (the pending one completes as
// planned), and a removal cancels the pending arrival, so a device that came and went within the
// second is never opened, and then counts as a removal in the link's state as it stands.
void DeviceLink::OnArrival(Link& link) {
    if (IsPresent(link) || link.arrivalPending) {
        return;
    }
    link.arrivalPending = true;
    m_view.StartTimer(link.arrivalTimer, kArrivalSettleTime);
}

void DeviceLink::CompleteArrival(Link& link) {
    link.state = kLinkPresent;
    // The link counts as present even when this open fails: the reports sent to it are then
    // rejected one by one, which the worker takes in its stride.
    link.driver.Open_FeatureDevice();
    if (link.kind == DeviceLinkKind::Cable) {
        CableAttached();
    }
    if (!IsPresent(Other(link))) {
        AnnouncePresence(true);
    }
}

void DeviceLink::OnRemoval(Link& link) {
    const bool wasSettling = std::exchange(link.arrivalPending, false);
    if (wasSettling) {
        m_view.StopTimer(link.arrivalTimer);
    }
    if (link.state == kLinkRemoved) {
        // A device that came and went within its second was never opened. If it alone kept the
        // mouse connected while the other link left meanwhile, the mouse is gone now.
        if (wasSettling && m_bConnected && !CountsAsPresent(Other(link))) {
            AnnouncePresence(false);
        }
        return;
    }
    link.state = kLinkRemoved;
    link.driver.Close_FeatureDevice();
    if (link.kind == DeviceLinkKind::Cable) {
        // Without the cable the mouse is out of reach until a status report comes over the
        // receiver, even when the receiver is still present.
        m_flags.m_bAsleep = 1;
        m_view.ShowSleepLabel(true);
        m_view.SetPowerText("");
        // Until the next status report nobody knows how far it charged.
        SetBattery({});
    }
    if (!CountsAsPresent(Other(link))) {
        AnnouncePresence(false);
    }
}

// On the cable the mouse is awake and charging.
void DeviceLink::CableAttached() {
    m_flags.m_bAsleep = 0;
    m_view.ShowSleepLabel(false);
    m_iChargeStep = 0;
    m_view.SetPowerTextId(kChargingTextId);
    m_bLowBatteryWarned = false;
    SetBattery({.bars = 0, .charging = true});
}

void DeviceLink::SetBattery(BatteryState state) {
    if (state != m_battery) {
        m_battery = state;
        m_view.ShowBatteryState(state);
    }
    UpdateChargeAnimation();
}

void DeviceLink::SetPowerDisplayShown(bool shown) {
    m_bPowerDisplayShown = shown;
    UpdateChargeAnimation();
}

// The one place that starts and stops the animation's timer: it runs exactly while the mouse
// charges, the bar can be seen and the link is not shut down.
void DeviceLink::UpdateChargeAnimation() {
    const bool animate = m_battery.charging && m_bPowerDisplayShown && !m_bShutDown;
    if (animate == m_bChargeAnimating) {
        return;
    }
    m_bChargeAnimating = animate;
    if (animate) {
        m_view.StartTimer(kTimerChargeAnimation, kChargeAnimationPeriod);
    } else {
        m_view.StopTimer(kTimerChargeAnimation);
    }
}

void DeviceLink::OnBatteryBars(int bars) {
    m_iBatteryBars = bars;
    ShowBattery(bars);
    SetBattery({.bars = bars, .charging = false});
    // The last bar is told once per discharge, never at every report. Only a charge arms it
    // again: the cable, or a report of three bars or more. A battery near its end may read one
    // bar and two in turn, and that is no charge.
    if (bars >= kRechargedBars) {
        m_bLowBatteryWarned = false;
    } else if (bars == 1 && !m_bLowBatteryWarned) {
        m_bLowBatteryWarned = true;
        m_view.WarnLowBattery();
    }
}

bool DeviceLink::IsPresent(const Link& link) const {
    return link.state == kLinkPresent;
}

// Whether the mouse is reachable decides whether the window shows it. A link in its second of
// settling counts already: were the other link to leave meanwhile, the window would otherwise
// hide for that second and show again when the settling link opens.
bool DeviceLink::CountsAsPresent(const Link& link) const {
    return IsPresent(link) || link.arrivalPending;
}

DeviceLink::Link& DeviceLink::Other(const Link& link) {
    return &link == &m_receiver ? m_cable : m_receiver;
}

void DeviceLink::AnnouncePresence(bool connected) {
    m_bConnected = connected;
    if (!connected) {
        SetBattery({});
    }
    Post(kMsgPresenceChanged, 0);
}

void DeviceLink::OnInputEvent(std::uint32_t code, std::uint32_t value) {
    if (m_bShutDown) {
        return;
    }
    ProfileData& profile = CurrentProfile(m_settings);
    switch (code) {
        case kEventDpiLevel:
            if (InValueRange(value, 1, kDpiLevelCount)) {
                SetDpiLevel(static_cast<int>(value) - 1);
                Save();
            }
            break;
        case kEventReportRate:
            if (InValueRange(value, 1, kHighestReportRate)) {
                profile.iReportRate = static_cast<std::int32_t>(value);
                Save();
            }
            break;
        case kEventStatus:
            OnStatusReport(value);
            break;
        case kEventLightMode:
            if (InValueRange(value, 0, kHighestLightMode)) {
                profile.iLightMode = static_cast<std::int32_t>(value);
                Save();
            }
            break;
        case kEventProfile:
            if (InValueRange(value, 1, kProfileCount)) {
                const int index = static_cast<int>(value) - 1;
                m_settings.iCurProfile = index;
                m_view.SelectProfileButtonSilently(index);
                m_view.ReloadPages();
                Post(kMsgProfileNotice, index);
                Save();
            }
            break;
        default:
            break;
    }
}

void DeviceLink::OnStatusReport(std::uint32_t value) {
    const std::uint32_t status = value & 0xFFu;

    // A low nibble that is no run of set bits names no level. The level is then left alone; the
    // rest of the report still counts, as it shows that the mouse is awake.
    bool levelChanged = false;
    if (const std::optional<int> run = SetBitRun(status & 0xFu)) {
        const int level = *run - 1;
        if (level != CurrentProfile(m_settings).iCurDpiLevel) {
            SetDpiLevel(level);
            levelChanged = true;
        }
    }
    const int bars = SetBitRun(status >> 4).value_or(1);

    if (m_flags.m_bAsleep == 1) {
        m_view.ShowSleepLabel(false);
        m_flags.m_bAsleep = 0;
    }
    // On the cable the power display shows charging, and the mouse cannot fall asleep.
    if (!IsPresent(m_cable)) {
        OnBatteryBars(bars);
        m_view.StopTimer(kTimerSleep);
        m_view.StartTimer(kTimerSleep, kSleepTimeout);
    }
    if (levelChanged) {
        Save();
    }
}

void DeviceLink::SetDpiLevel(int level) {
    ProfileData& profile = CurrentProfile(m_settings);
    profile.iCurDpiLevel = level;
    const int current = CurrentDpiLevel(profile);
    m_view.MarkDpiLevel(current);
    Post(kMsgDpiNotice, profile.aiDpiValue[static_cast<std::size_t>(current)]);
}

void DeviceLink::ShowBattery(int bars) {
    const int percent = bars * 25;
    m_view.SetPowerProgress(percent);
    m_view.SetPowerText(std::to_string(percent) + "%");
}

void DeviceLink::OnTimer(int id) {
    if (m_bShutDown) {
        return;
    }
    switch (id) {
        case kTimerChargeAnimation:
            m_view.SetPowerProgress(m_iChargeStep);
            m_iChargeStep += kChargeAnimationStep;
            if (m_iChargeStep > 100) {
                m_iChargeStep = 0;
            }
            break;
        case kTimerSleep:
            m_view.StopTimer(kTimerSleep);
            if (!IsPresent(m_cable)) {
                m_view.ShowSleepLabel(true);
                m_flags.m_bAsleep = 1;
            }
            break;
        case kTimerReceiverArrival:
        case kTimerCableArrival: {
            Link& link = id == kTimerReceiverArrival ? m_receiver : m_cable;
            m_view.StopTimer(id);
            if (std::exchange(link.arrivalPending, false)) {
                CompleteArrival(link);
            }
            break;
        }
        default:
            break;
    }
}

void DeviceLink::Shutdown() {
    if (m_bShutDown) {
        return;
    }
    m_bShutDown = true;
    if (!m_bStarted) {
        return;
    }
    m_receiver.driver.Close_FeatureDevice();
    m_receiver.driver.Close_DevMonitor();
    m_cable.driver.Close_FeatureDevice();
    m_cable.driver.Close_DevMonitor();
}

void DeviceLink::Save() {
    if (m_save) {
        m_save(m_settings);
    }
}

void DeviceLink::Post(std::uint32_t message, std::intptr_t lParam) {
    VeltrixPost(&m_window, message, 0, lParam);
}

}  // namespace veltrix
