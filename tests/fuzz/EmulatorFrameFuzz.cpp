// The emulated mouse's socket, which trusts no client: any packets, handled as the emulator
// handles them (the feature reports by the mouse model), and any packets as a plugin receives
// them from the emulator.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CtlCommand.h"
#include "MouseModel.h"
#include "hiddriver/EmulatorProtocol.h"
#include "hiddriver/hiddriver_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    using namespace veltrix::emulator;
    MouseModel mouse;
    mouse.Plug(DeviceLinkKind::Cable);
    // Packets: a length byte and that many bytes (a packet may be as long as kMaxPacketSize, but
    // feature reports are at most 129 bytes).
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const std::span<const std::uint8_t> packet(data + at + 1, length);
        at += 1 + length;
        const std::optional<PacketView> view = ParsePacket(packet);
        if (!view) {
            continue;
        }
        switch (view->type) {
            case PacketType::Watch:
            case PacketType::Open:
                ParseDevicePayload(view->payload);
                break;
            case PacketType::Feature:
                mouse.ReceiveFeature(
                    view->id % 2 == 0 ? DeviceLinkKind::Receiver : DeviceLinkKind::Cable,
                    view->payload);
                break;
            case PacketType::Command: {
                std::vector<std::string> words(1);
                for (const std::uint8_t byte : view->payload) {
                    if (byte == 0) {
                        words.emplace_back();
                    } else {
                        words.back().push_back(static_cast<char>(byte));
                    }
                }
                words.pop_back();
                std::string error;
                ParseCtlCommand(words, error);
                break;
            }
            case PacketType::Input: {
                VeltrixInputEvent event{};
                VeltrixDecodeInputReport(view->payload.data(), view->payload.size(), &event);
                break;
            }
            default:
                break;
        }
    }
    mouse.PressDpiButton();
    mouse.PressProfileButton();
    mouse.StateJson();
    mouse.LogText();
    return 0;
}
