#pragma once

// The socket of the emulated mouse, veltrix-mouse-emulator. The emulator listens on a Unix
// SOCK_SEQPACKET socket at a path (`serve --socket PATH`); the driver plugins find that path in
// the environment variable VELTRIX_EMULATOR and then use the emulator instead of hidraw. Every
// packet is one message. Any number of connections may be open at once: each plugin holds one to
// watch its device and one as its open device, and each `ctl` call holds one; the emulator serves
// them all from one loop, so their requests never interleave within a packet.
//
// Byte 0 of a packet is its type. Requests and replies carry a request id in bytes 1 to 4
// (little-endian), chosen by the client and echoed in the reply, so that a client that gave up
// waiting recognises the late reply and drops it. Events carry no id; the payload starts at
// byte 1.
//
//   Watch    request, payload vid and pid (2 bytes each, little-endian). Reply Result: 1 when the
//            device is plugged in now. From then on the connection receives the device's events.
//   Open     request, payload vid and pid. Reply Result: 1 when the device is plugged in; the
//            connection is then an open handle of the device. Like a removed hidraw node, the
//            handle goes stale when the device is unplugged, even if it is plugged in again.
//   Feature  request, payload the feature report. Reply Result: 1 accepted; 0 for a bad frame, a
//            stale or missing handle, or a report the mouse cannot hear (asleep, on the receiver).
//   Command  request, payload the `ctl` command's words, each followed by a NUL byte. Replies:
//            any number of Output (payload text), then Done (payload: 0 and nothing, or 1 and an
//            error text).
//   Arrived, Removed   events of a watched device, no payload.
//   Input    event, payload one input report of the mouse (hiddriver_input.h).
//
// A Result payload is one byte. A packet of an unknown type or too short for its type ends the
// connection.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hiddriver/UniqueFd.h"

namespace veltrix::emulator {

inline constexpr char kSocketVariable[] = "VELTRIX_EMULATOR";

enum class PacketType : std::uint8_t {
    Watch = 0x01,
    Open = 0x02,
    Feature = 0x03,
    Command = 0x04,
    Result = 0x81,
    Output = 0x82,
    Done = 0x83,
    Arrived = 0xC1,
    Removed = 0xC2,
    Input = 0xC3,
};

// Large enough for any feature report and for a chunk of command output.
inline constexpr std::size_t kMaxPacketSize = 4096;
inline constexpr std::size_t kIdSize = 4;

// How long a connect, a send or a wait for one reply may take before the peer counts as gone.
inline constexpr std::chrono::milliseconds kConnectTimeout{1000};
inline constexpr std::chrono::milliseconds kReplyTimeout{2000};

bool IsRequest(PacketType type);
bool IsReply(PacketType type);

// A received packet, split into its parts; id is 0 for an event.
struct PacketView {
    PacketType type;
    std::uint32_t id;
    std::span<const std::uint8_t> payload;
};
std::optional<PacketView> ParsePacket(std::span<const std::uint8_t> packet);

std::vector<std::uint8_t> MakeMessage(PacketType type, std::uint32_t id,
                                      std::span<const std::uint8_t> payload);
std::vector<std::uint8_t> MakeEvent(PacketType type, std::span<const std::uint8_t> payload);
std::vector<std::uint8_t> DevicePayload(std::int32_t vid, std::int32_t pid);
// The vid and pid of a Watch or Open payload.
std::optional<std::pair<std::int32_t, std::int32_t>> ParseDevicePayload(
    std::span<const std::uint8_t> payload);

// Connects to the emulator at `path`; an invalid descriptor when nobody listens there, or when the
// listener runs as another user: the mouse's reports (macros, key bindings) are the user's own,
// and a socket on a shared path could be anyone's.
UniqueFd Connect(const std::string& path);

// Sends one packet, waiting up to kConnectTimeout for room; false when the peer is gone or stuck.
bool SendPacket(int fd, std::span<const std::uint8_t> packet);

enum class ReceiveStatus { Packet, Timeout, Closed };
// Waits up to `timeout` (negative: without limit) for one packet. Closed also covers a broken
// connection and a packet larger than kMaxPacketSize.
ReceiveStatus ReceivePacket(int fd, std::vector<std::uint8_t>& packet,
                            std::chrono::milliseconds timeout);

// One client connection: requests and their replies.
class Client {
  public:
    explicit Client(UniqueFd fd) : m_fd(std::move(fd)) {}

    bool IsConnected() const { return m_fd.IsValid(); }
    int Fd() const { return m_fd.Get(); }

    // Sends a request and waits for its reply, skipping events and stale replies. Empty when the
    // reply does not come within kReplyTimeout or the connection breaks.
    std::optional<std::vector<std::uint8_t>> Request(PacketType type,
                                                     std::span<const std::uint8_t> payload);

    // The one-byte Result of a request; empty when none came.
    std::optional<std::uint8_t> RequestResult(PacketType type,
                                              std::span<const std::uint8_t> payload);

    // Runs a ctl command: true with its output, or false with the error text.
    bool RunCommand(const std::vector<std::string>& words, std::string& output, std::string& error);

    // Makes a request in progress on another thread return at once; later requests fail.
    void Interrupt();

  private:
    std::uint32_t Send(PacketType type, std::span<const std::uint8_t> payload);
    std::optional<std::vector<std::uint8_t>> AwaitReply(std::uint32_t id);

    UniqueFd m_fd;
    std::uint32_t m_lastId = 0;
};

}  // namespace veltrix::emulator
