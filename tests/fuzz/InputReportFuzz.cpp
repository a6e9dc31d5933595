// The mouse's input reports, as the driver plugin reads them from the device: any bytes, in
// reports of any length. Each is decoded as the plugin does and handed, as its event, to the
// device link of a record whose current profile and levels are out of range, over both links.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/DeviceEventLoop.h"
#include "hiddriver/hiddriver_input.h"
#include "profile/ProfileDefaults.h"
#include "support/RecordingDriverLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    if (size < 2) {
        return -1;
    }
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    // The first byte spoils the record: the events must stay inside it all the same.
    settings->iCurProfile = static_cast<std::int8_t>(data[0]);
    for (ProfileData& profile : settings->Profiles) {
        profile.iCurDpiLevel = static_cast<std::int8_t>(data[1]);
    }
    test::RecordingDriverLink::Log log;
    test::RecordingDriverLink receiver("receiver", log);
    test::RecordingDriverLink cable("cable", log);
    receiver.m_iOpenResult = data[0] & 1;
    cable.m_iOpenResult = data[0] >> 1 & 1;
    // The loop stands in for the window: its timers and its queue, never run.
    DeviceEventLoop window{SystemClock()};
    DeviceLink link(receiver, cable, *settings, window, window.Window(), nullptr);
    link.StartDeviceLink();

    // Then reports: a length byte (mod 16) and that many bytes.
    std::size_t at = 2;
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at] % 16, size - at - 1);
        const std::uint8_t* report = data + at + 1;
        VeltrixInputEvent event{};
        if (VeltrixDecodeInputReport(report, length, &event) != 0) {
            const Message message{length % 2 == 0 ? kMsgReceiverEvent : kMsgCableEvent, event.code,
                                  event.value};
            link.OnDriverMessage(message);
        } else if (length > 0) {
            // Link changes and timers among the reports.
            link.OnDriverMessage({report[0] & 1 ? kMsgCableLink : kMsgReceiverLink,
                                  static_cast<std::uintptr_t>(report[0] >> 1 & 3), 0});
            link.OnTimer(kTimerChargeAnimation + report[0] % 4);
        }
        at += 1 + length;
    }
    return 0;
}
