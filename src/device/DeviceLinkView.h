#pragma once

// What the device link asks of the screen: the power display, the sleep notice, the pages and the
// page's timers. The device page implements it over its controls; tests and the command line
// implement it without a display.

#include <chrono>
#include <string_view>

namespace veltrix {

// The battery as the desktop is told about it: 1 to 4 bars, 0 while no status report has said.
struct BatteryState {
    int bars = 0;
    bool charging = false;
    bool operator==(const BatteryState&) const = default;
};

class DeviceLinkView {
  public:
    virtual ~DeviceLinkView() = default;

    // The battery changed (the tray's tooltip shows it). Views without a tray ignore it.
    virtual void ShowBatteryState(BatteryState /*state*/) {}
    // The battery has fallen to its last bar: the desktop is to be told, once per discharge.
    virtual void WarnLowBattery() {}

    // wireless_sleep_label: the mouse is asleep or out of reach.
    virtual void ShowSleepLabel(bool shown) = 0;
    // label_power shows the language text of a text id.
    virtual void SetPowerTextId(std::string_view textId) = 0;
    // label_power shows a plain text, as it stands.
    virtual void SetPowerText(std::string_view text) = 0;
    // progress_ms_1_power, 0 to 100.
    virtual void SetPowerProgress(int value) = 0;

    // A timer that fires OnTimer(id) of the device link every period until it is stopped;
    // starting a running timer starts it over.
    virtual void StartTimer(int id, std::chrono::milliseconds period) = 0;
    virtual void StopTimer(int id) = 0;

    // The DPI page marks the level (0 to 7) as the current one.
    virtual void MarkDpiLevel(int level) = 0;
    // The profile button (0 to 4) is selected without the notification that would apply it.
    virtual void SelectProfileButtonSilently(int profile) = 0;
    // The button, DPI and lighting pages show the record again.
    virtual void ReloadPages() = 0;
};

}  // namespace veltrix
