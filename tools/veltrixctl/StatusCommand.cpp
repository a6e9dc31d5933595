#include <chrono>
#include <iostream>
#include <memory>

#include "Command.h"
#include "MouseSession.h"
#include "profile/ProfileDefaults.h"

namespace veltrix::ctl {
namespace {

// The wireless mouse sends a status report about every second while it is awake.
constexpr std::chrono::milliseconds kStatusListenTime{3000};

const char* Presence(int state) {
    return state == kLinkPresent ? "present" : "absent";
}

}  // namespace

int RunStatus(Arguments args) {
    if (!args.empty()) {
        return UsageError("status takes no arguments");
    }
    // The link state needs a record to apply the mouse's changes to; this one is only watched
    // and never saved, so the user's settings stay as they are.
    auto settings = std::make_unique<ProfileSettings>();
    ResetProfileSettings(*settings);
    MouseSession mouse(*settings, nullptr);
    std::string error;
    if (!mouse.Start(error)) {
        std::cerr << "veltrixctl: " << error << "\n";
        return kExitFailure;
    }

    // Battery and sleep show only in the status reports that come over the receiver; on the
    // cable the mouse is awake and charging.
    DeviceLink& link = mouse.Link();
    const LinkFlags& flags = link.Flags();
    mouse.RunUntil(kStatusListenTime, [&] {
        return flags.m_iReceiverState != kLinkPresent || flags.m_iCableState == kLinkPresent ||
               link.BatteryBars() != 0;
    });

    const bool cable = flags.m_iCableState == kLinkPresent;
    std::cout << "receiver: " << Presence(flags.m_iReceiverState) << "\n"
              << "cable: " << Presence(flags.m_iCableState) << "\n"
              << "mouse: "
              << (!link.Connected()      ? "not connected"
                  : flags.m_bAsleep == 1 ? "asleep"
                                         : "awake")
              << "\n"
              << "battery: "
              << (link.BatteryBars() != 0 ? std::to_string(link.BatteryBars() * 25) + "%"
                                          : std::string("unknown"))
              << "\n"
              << "charging: " << (cable ? "yes" : "no") << "\n";
    return kExitOk;
}

}  // namespace veltrix::ctl
