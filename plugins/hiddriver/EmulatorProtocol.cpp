#include "hiddriver/EmulatorProtocol.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace veltrix::emulator {
namespace {

using Clock = std::chrono::steady_clock;

int ToPollTimeout(std::chrono::milliseconds timeout) {
    if (timeout.count() < 0) {
        return -1;
    }
    return static_cast<int>(std::min<std::chrono::milliseconds::rep>(timeout.count(), 1 << 30));
}

// Waits for `events` on fd; false on timeout. Retries after signals.
bool WaitFor(int fd, short events, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, ToPollTimeout(timeout));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
        if (timeout.count() >= 0) {
            timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::max(deadline - Clock::now(), Clock::duration::zero()));
        }
    }
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

}  // namespace

bool IsRequest(PacketType type) {
    return type == PacketType::Watch || type == PacketType::Open || type == PacketType::Feature ||
           type == PacketType::Command;
}

bool IsReply(PacketType type) {
    return type == PacketType::Result || type == PacketType::Output || type == PacketType::Done;
}

std::optional<PacketView> ParsePacket(std::span<const std::uint8_t> packet) {
    if (packet.empty()) {
        return std::nullopt;
    }
    const auto type = static_cast<PacketType>(packet[0]);
    if (IsRequest(type) || IsReply(type)) {
        if (packet.size() < 1 + kIdSize) {
            return std::nullopt;
        }
        std::uint32_t id = 0;
        for (std::size_t i = 0; i < kIdSize; ++i) {
            id |= static_cast<std::uint32_t>(packet[1 + i]) << (8 * i);
        }
        return PacketView{type, id, packet.subspan(1 + kIdSize)};
    }
    if (type == PacketType::Arrived || type == PacketType::Removed || type == PacketType::Input) {
        return PacketView{type, 0, packet.subspan(1)};
    }
    return std::nullopt;
}

std::vector<std::uint8_t> MakeMessage(PacketType type, std::uint32_t id,
                                      std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> packet{static_cast<std::uint8_t>(type)};
    PutU32(packet, id);
    packet.insert(packet.end(), payload.begin(), payload.end());
    return packet;
}

std::vector<std::uint8_t> MakeEvent(PacketType type, std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> packet{static_cast<std::uint8_t>(type)};
    packet.insert(packet.end(), payload.begin(), payload.end());
    return packet;
}

std::vector<std::uint8_t> DevicePayload(std::int32_t vid, std::int32_t pid) {
    return {static_cast<std::uint8_t>(vid), static_cast<std::uint8_t>(vid >> 8),
            static_cast<std::uint8_t>(pid), static_cast<std::uint8_t>(pid >> 8)};
}

std::optional<std::pair<std::int32_t, std::int32_t>> ParseDevicePayload(
    std::span<const std::uint8_t> payload) {
    if (payload.size() != 4) {
        return std::nullopt;
    }
    return std::pair<std::int32_t, std::int32_t>(payload[0] | payload[1] << 8,
                                                 payload[2] | payload[3] << 8);
}

UniqueFd Connect(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return {};
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (!fd.IsValid()) {
        return {};
    }
    // Bounds a connect to a listener whose backlog is full, and every later blocking send.
    const timeval timeout{static_cast<time_t>(kConnectTimeout.count() / 1000),
                          static_cast<suseconds_t>(kConnectTimeout.count() % 1000 * 1000)};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int connected;
    do {
        connected =
            ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (connected != 0 && errno == EINTR);
    if (connected != 0) {
        return {};
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer ||
        peer.uid != ::geteuid()) {
        return {};
    }
    return fd;
}

bool SendPacket(int fd, std::span<const std::uint8_t> packet) {
    for (;;) {
        const ssize_t sent = ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent == static_cast<ssize_t>(packet.size())) {
            return true;
        }
        if (sent >= 0 || (errno != EAGAIN && errno != EINTR)) {
            return false;
        }
        if (errno == EAGAIN && !WaitFor(fd, POLLOUT, kConnectTimeout)) {
            return false;
        }
    }
}

ReceiveStatus ReceivePacket(int fd, std::vector<std::uint8_t>& packet,
                            std::chrono::milliseconds timeout) {
    if (!WaitFor(fd, POLLIN, timeout)) {
        return ReceiveStatus::Timeout;
    }
    packet.resize(kMaxPacketSize);
    ssize_t size;
    do {
        size = ::recv(fd, packet.data(), packet.size(), MSG_DONTWAIT | MSG_TRUNC);
    } while (size < 0 && errno == EINTR);
    if (size < 0 && errno == EAGAIN) {
        packet.clear();
        return ReceiveStatus::Timeout;
    }
    if (size <= 0 || static_cast<std::size_t>(size) > kMaxPacketSize) {
        packet.clear();
        return ReceiveStatus::Closed;
    }
    packet.resize(static_cast<std::size_t>(size));
    return ReceiveStatus::Packet;
}

std::uint32_t Client::Send(PacketType type, std::span<const std::uint8_t> payload) {
    const std::uint32_t id = ++m_lastId;
    return SendPacket(m_fd.Get(), MakeMessage(type, id, payload)) ? id : 0;
}

std::optional<std::vector<std::uint8_t>> Client::AwaitReply(std::uint32_t id) {
    const auto deadline = Clock::now() + kReplyTimeout;
    std::vector<std::uint8_t> packet;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::max(deadline - Clock::now(), Clock::duration::zero()));
        if (ReceivePacket(m_fd.Get(), packet, left) != ReceiveStatus::Packet) {
            return std::nullopt;
        }
        const std::optional<PacketView> view = ParsePacket(packet);
        if (view && IsReply(view->type) && view->id == id) {
            return packet;
        }
    }
}

std::optional<std::vector<std::uint8_t>> Client::Request(PacketType type,
                                                         std::span<const std::uint8_t> payload) {
    const std::uint32_t id = Send(type, payload);
    if (id == 0) {
        return std::nullopt;
    }
    return AwaitReply(id);
}

std::optional<std::uint8_t> Client::RequestResult(PacketType type,
                                                  std::span<const std::uint8_t> payload) {
    const std::optional<std::vector<std::uint8_t>> reply = Request(type, payload);
    if (!reply) {
        return std::nullopt;
    }
    const std::optional<PacketView> view = ParsePacket(*reply);
    if (view->type != PacketType::Result || view->payload.size() != 1) {
        return std::nullopt;
    }
    return view->payload[0];
}

bool Client::RunCommand(const std::vector<std::string>& words, std::string& output,
                        std::string& error) {
    std::vector<std::uint8_t> payload;
    for (const std::string& word : words) {
        payload.insert(payload.end(), word.begin(), word.end());
        payload.push_back(0);
    }
    const std::uint32_t id = Send(PacketType::Command, payload);
    for (;;) {
        const std::optional<std::vector<std::uint8_t>> reply =
            id != 0 ? AwaitReply(id) : std::nullopt;
        if (!reply) {
            error = "the emulator did not answer";
            return false;
        }
        const PacketView view = *ParsePacket(*reply);
        const std::string text(view.payload.begin(), view.payload.end());
        if (view.type == PacketType::Output) {
            output += text;
        } else if (view.type == PacketType::Done && !text.empty() && text[0] == 0) {
            return true;
        } else {
            error = text.empty() ? "the emulator refused the command" : text.substr(1);
            return false;
        }
    }
}

void Client::Interrupt() {
    // shutdown, not close: the descriptor stays valid for the thread that may be inside recv.
    ::shutdown(m_fd.Get(), SHUT_RDWR);
}

}  // namespace veltrix::emulator
