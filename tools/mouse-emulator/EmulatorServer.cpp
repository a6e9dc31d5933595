#include "EmulatorServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>

#include "device/DriverLink.h"
#include "hiddriver/EmulatorProtocol.h"

namespace veltrix::emulator {
namespace {

constexpr int kListenBacklog = 64;
constexpr timespec kStatusInterval{1, 0};

std::optional<DeviceLinkKind> LinkOf(std::pair<std::int32_t, std::int32_t> device) {
    if (device.first != kVeltrixVendorId) {
        return std::nullopt;
    }
    if (device.second == kReceiverProductId) {
        return DeviceLinkKind::Receiver;
    }
    if (device.second == kCableProductId) {
        return DeviceLinkKind::Cable;
    }
    return std::nullopt;
}

std::vector<std::string> SplitWords(std::span<const std::uint8_t> payload) {
    std::vector<std::string> words;
    std::string word;
    for (const std::uint8_t byte : payload) {
        if (byte == 0) {
            words.push_back(std::move(word));
            word.clear();
        } else {
            word += static_cast<char>(byte);
        }
    }
    return words;
}

std::span<const std::uint8_t> TextBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::size_t EmulatorServer::LinkIndex(DeviceLinkKind link) {
    return link == DeviceLinkKind::Cable ? 1 : 0;
}

EmulatorServer::ListenResult EmulatorServer::Listen(const std::string& path, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        error = "the socket path must be 1 to " + std::to_string(sizeof address.sun_path - 1) +
                " bytes long";
        return ListenResult::Unusable;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    m_listener.Reset(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    const auto bindSocket = [&] {
        return ::bind(m_listener.Get(), reinterpret_cast<const sockaddr*>(&address),
                      sizeof address) == 0;
    };
    if (!m_listener.IsValid()) {
        error = std::string("cannot create a socket: ") + std::strerror(errno);
        return ListenResult::Unusable;
    }
    if (!bindSocket()) {
        struct stat existing {};
        if (errno != EADDRINUSE) {
            error = path + ": " + std::strerror(errno);
            return ListenResult::Unusable;
        }
        if (::lstat(path.c_str(), &existing) != 0 || !S_ISSOCK(existing.st_mode)) {
            error = path + " exists and is not a socket";
            return ListenResult::Unusable;
        }
        if (Connect(path).IsValid()) {
            error = "an emulator is already serving at " + path;
            return ListenResult::InUse;
        }
        // Nobody answers: the file was left by an emulator that died.
        ::unlink(path.c_str());
        if (!bindSocket()) {
            error = path + ": " + std::strerror(errno);
            return ListenResult::Unusable;
        }
    }
    struct stat bound {};
    if (::listen(m_listener.Get(), kListenBacklog) != 0 || ::stat(path.c_str(), &bound) != 0) {
        error = path + ": " + std::strerror(errno);
        ::unlink(path.c_str());
        return ListenResult::Unusable;
    }
    m_path = path;
    m_socketDevice = bound.st_dev;
    m_socketInode = bound.st_ino;
    return ListenResult::Listening;
}

void EmulatorServer::Run(int stopFd) {
    UniqueFd timer(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK));
    const itimerspec every{kStatusInterval, kStatusInterval};
    ::timerfd_settime(timer.Get(), 0, &every, nullptr);

    for (;;) {
        std::vector<pollfd> entries = {
            {stopFd, POLLIN, 0}, {m_listener.Get(), POLLIN, 0}, {timer.Get(), POLLIN, 0}};
        for (const Connection& connection : m_connections) {
            entries.push_back({connection.fd.Get(), POLLIN, 0});
        }
        if (::poll(entries.data(), entries.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (entries[0].revents != 0) {
            break;
        }
        // Older connections first: a client that closed before another connected is gone by
        // the time the newer one's command runs.
        for (std::size_t i = 0; i + 3 < entries.size(); ++i) {
            if (entries[i + 3].revents != 0) {
                ReadFrom(m_connections[i]);
            }
        }
        if (entries[2].revents != 0) {
            std::uint64_t expirations = 0;
            if (::read(timer.Get(), &expirations, sizeof expirations) > 0) {
                SendInput(m_mouse.StatusReport());
            }
        }
        if (entries[1].revents != 0) {
            Accept();
        }
        std::erase_if(m_connections, [](const Connection& c) { return c.closing; });
    }

    m_connections.clear();
    m_listener.Reset();
    struct stat current {};
    if (::stat(m_path.c_str(), &current) == 0 && current.st_dev == m_socketDevice &&
        current.st_ino == m_socketInode) {
        ::unlink(m_path.c_str());
    }
}

void EmulatorServer::Accept() {
    for (;;) {
        const int fd = ::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            return;
        }
        Connection& connection = m_connections.emplace_back();
        connection.fd.Reset(fd);
    }
}

void EmulatorServer::ReadFrom(Connection& connection) {
    std::vector<std::uint8_t> packet;
    while (!connection.closing) {
        switch (ReceivePacket(connection.fd.Get(), packet, std::chrono::milliseconds(0))) {
            case ReceiveStatus::Packet:
                Handle(connection, packet);
                break;
            case ReceiveStatus::Closed:
                connection.closing = true;
                return;
            case ReceiveStatus::Timeout:
                return;
        }
    }
}

void EmulatorServer::Handle(Connection& connection, std::span<const std::uint8_t> packet) {
    const std::optional<PacketView> view = ParsePacket(packet);
    if (!view || !IsRequest(view->type)) {
        connection.closing = true;
        return;
    }
    switch (view->type) {
        case PacketType::Watch:
        case PacketType::Open: {
            const auto device = ParseDevicePayload(view->payload);
            if (!device) {
                connection.closing = true;
                return;
            }
            const std::optional<DeviceLinkKind> link = LinkOf(*device);
            const bool plugged = link && m_mouse.IsPlugged(*link);
            if (view->type == PacketType::Watch) {
                connection.watched = link;
            } else {
                connection.opened = plugged ? link : std::nullopt;
                connection.openedGeneration = link ? m_generation[LinkIndex(*link)] : 0;
            }
            Reply(connection, view->id, plugged ? 1 : 0);
            break;
        }
        case PacketType::Feature:
            Reply(connection, view->id,
                  IsOpenHandle(connection) &&
                          m_mouse.ReceiveFeature(*connection.opened, view->payload)
                      ? 1
                      : 0);
            break;
        case PacketType::Command: {
            std::string error;
            const std::vector<std::string> words = SplitWords(view->payload);
            const std::optional<CtlCommand> command = ParseCtlCommand(words, error);
            if (command) {
                Execute(connection, view->id, *command);
            } else {
                Send(connection,
                     MakeMessage(PacketType::Done, view->id, TextBytes("\x01" + error)));
            }
            break;
        }
        default:
            break;
    }
}

void EmulatorServer::Execute(Connection& connection, std::uint32_t id, const CtlCommand& command) {
    using Kind = CtlCommand::Kind;
    std::string output;
    switch (command.kind) {
        case Kind::Plug:
            if (m_mouse.Plug(command.link)) {
                Broadcast(command.link, MakeEvent(PacketType::Arrived, {}));
            }
            break;
        case Kind::Unplug:
            if (m_mouse.Unplug(command.link)) {
                ++m_generation[LinkIndex(command.link)];
                Broadcast(command.link, MakeEvent(PacketType::Removed, {}));
            }
            break;
        case Kind::DpiButton:
            SendInput(m_mouse.PressDpiButton());
            break;
        case Kind::ProfileButton:
            SendInput(m_mouse.PressProfileButton());
            break;
        case Kind::Battery:
            m_mouse.SetBatteryBars(command.batteryBars);
            break;
        case Kind::Sleep:
            m_mouse.Sleep();
            break;
        case Kind::Wake:
            m_mouse.Wake();
            break;
        case Kind::State:
            output = m_mouse.StateJson();
            break;
        case Kind::Log:
            output = m_mouse.LogText();
            break;
        case Kind::ClearLog:
            m_mouse.ClearLog();
            break;
    }
    constexpr std::size_t kChunk = kMaxPacketSize - 1 - kIdSize;
    for (std::size_t at = 0; at < output.size(); at += kChunk) {
        Send(connection, MakeMessage(PacketType::Output, id,
                                     TextBytes(std::string_view(output).substr(at, kChunk))));
    }
    const std::uint8_t done = 0;
    Send(connection, MakeMessage(PacketType::Done, id, {&done, 1}));
}

bool EmulatorServer::IsOpenHandle(const Connection& connection) const {
    return connection.opened && m_mouse.IsPlugged(*connection.opened) &&
           connection.openedGeneration == m_generation[LinkIndex(*connection.opened)];
}

void EmulatorServer::Send(Connection& connection, std::span<const std::uint8_t> packet) {
    // A client that cannot take a packet in time is treated as gone, so that one stuck client
    // never stalls the mouse for the others for long.
    if (!connection.closing && !SendPacket(connection.fd.Get(), packet)) {
        connection.closing = true;
    }
}

void EmulatorServer::Reply(Connection& connection, std::uint32_t id, std::uint8_t result) {
    Send(connection, MakeMessage(PacketType::Result, id, {&result, 1}));
}

void EmulatorServer::Broadcast(DeviceLinkKind link, std::span<const std::uint8_t> packet) {
    for (Connection& connection : m_connections) {
        if (connection.watched == link) {
            Send(connection, packet);
        }
    }
}

void EmulatorServer::SendInput(const std::optional<OutgoingReport>& report) {
    if (report) {
        Broadcast(report->link, MakeEvent(PacketType::Input, report->bytes));
    }
}

}  // namespace veltrix::emulator
