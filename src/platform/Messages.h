#pragma once

// The message numbers that join the parts of the program and its plugins. They are a contract
// with the driver and hook plugins: never renumber them.

#include <cstdint>

namespace veltrix {

// Ends the worker's loop.
inline constexpr std::uint32_t kMsgQuit = 18;
// Input from the hook plugin: wParam a virtual key or mouse message, lParam its qualifier.
inline constexpr std::uint32_t kMsgHookEvent = 1034;
// The event codes of a mouse button in a hook event; any other code is a virtual key. For the
// extra buttons lParam says which of the two it is. For keys lParam is 0 on press.
inline constexpr std::uint32_t kHookLeftButtonDown = 513;
inline constexpr std::uint32_t kHookLeftButtonUp = 514;
inline constexpr std::uint32_t kHookRightButtonDown = 516;
inline constexpr std::uint32_t kHookRightButtonUp = 517;
inline constexpr std::uint32_t kHookMiddleButtonDown = 519;
inline constexpr std::uint32_t kHookMiddleButtonUp = 520;
inline constexpr std::uint32_t kHookExtraButtonDown = 523;
inline constexpr std::uint32_t kHookExtraButtonUp = 524;
inline constexpr std::uint32_t kHookExtraButton1 = 1;
inline constexpr std::uint32_t kHookExtraButton2 = 2;
// The wheel, reported only when asked for: lParam kHookWheelStep away from the user (or tilted
// right), minus that towards the user (or tilted left).
inline constexpr std::uint32_t kHookWheel = 522;
inline constexpr std::uint32_t kHookHorizontalWheel = 526;
inline constexpr std::intptr_t kHookWheelStep = 120;
// A second instance asks the running one to show itself.
inline constexpr std::uint32_t kMsgActivate = 1037;
// The device page's m_bConnected changed.
inline constexpr std::uint32_t kMsgPresenceChanged = 1128;
// The mouse changed its DPI level: lParam the level's DPI in units of 100.
inline constexpr std::uint32_t kMsgDpiNotice = 1129;
// The mouse changed its profile: lParam the new profile index.
inline constexpr std::uint32_t kMsgProfileNotice = 1130;
// Driver plugins: an event (wParam code, lParam value) and a link change (wParam 1 arrived,
// 0 removed), for the receiver and for the cable.
inline constexpr std::uint32_t kMsgReceiverEvent = 1329;
inline constexpr std::uint32_t kMsgReceiverLink = 1330;
inline constexpr std::uint32_t kMsgCableEvent = 1331;
inline constexpr std::uint32_t kMsgCableLink = 1332;
// A page asks for an area to be applied: wParam the area, lParam the profile or variant.
inline constexpr std::uint32_t kMsgApplyRequest = 1333;
// The same request, forwarded to the worker's queue.
inline constexpr std::uint32_t kMsgWorkerApply = 1648;
// Areas of an apply request (its wParam). kApplyProfiles takes kApplyEveryProfile or
// kApplyCurrentProfile in lParam; with any other lParam (a profile switch posts 0) it sends only
// the commit. The single areas take the profile index. Any other area sends only the commit.
inline constexpr std::uintptr_t kApplyProfiles = 0;
inline constexpr std::uintptr_t kApplyButtons = 1;
inline constexpr std::uintptr_t kApplyDpi = 2;
inline constexpr std::uintptr_t kApplyLight = 3;
inline constexpr std::uintptr_t kApplyRate = 4;
inline constexpr std::intptr_t kApplyEveryProfile = 1;
inline constexpr std::intptr_t kApplyCurrentProfile = 2;
// Worker to main window: a request starts (show the busy ring) and ends (save, hide the ring).
// Every request ends with exactly one kMsgApplyFinished, also one that was discarded because no
// mouse could take it; its wParam says which, so the receiver saves the record in both cases.
inline constexpr std::uint32_t kMsgApplyStarted = 1649;
inline constexpr std::uint32_t kMsgApplyFinished = 1650;
inline constexpr std::uintptr_t kApplyDiscarded = 0;  // nothing sent, no kMsgApplyStarted before
// Sent; lParam counts the reports that the mouse did not take, which is not 0 when it was lost
// (unplugged, gone to sleep) part way through.
inline constexpr std::uintptr_t kApplyDone = 1;
// Worker to main window: the worker has ended after ApplyWorker::Finish; the devices may close.
inline constexpr std::uint32_t kMsgWorkerStopped = 1651;

// Codes of the 32-bit device events, (code << 16) | value.
// Arrival (value 1) or removal (value 2) of a link.
inline constexpr std::uint32_t kEventLinkChange = 0x7F00;
// Input reports of the mouse: DPI level 1 to 8, report rate 1 to 8, status (low byte: DPI nibble
// and battery nibble), lighting mode 0 to 7, profile 1 to 5.
inline constexpr std::uint32_t kEventDpiLevel = 0x1000;
inline constexpr std::uint32_t kEventReportRate = 0x2000;
inline constexpr std::uint32_t kEventStatus = 0x4000;
inline constexpr std::uint32_t kEventLightMode = 0x7000;
inline constexpr std::uint32_t kEventProfile = 0x8000;

}  // namespace veltrix
