#include "hiddriver/EmulatorTransport.h"

#include <cerrno>
#include <mutex>

#include <poll.h>

#include "hiddriver/EmulatorProtocol.h"
#include "hiddriver/StopSignal.h"

namespace veltrix::hiddriver {
namespace {

using emulator::Client;
using emulator::PacketType;

class EmulatorDevice final : public FeatureDevice {
  public:
    explicit EmulatorDevice(Client client) : m_client(std::move(client)) {}

    bool Send(std::span<const std::uint8_t> report) override {
        std::lock_guard lock(m_sending);
        return m_client.RequestResult(PacketType::Feature, report) == 1;
    }
    void Interrupt() override { m_client.Interrupt(); }

  private:
    std::mutex m_sending;  // one request at a time on the connection
    Client m_client;
};

class EmulatorWatch final : public DeviceWatch {
  public:
    EmulatorWatch(std::string socketPath, DeviceId device)
        : m_socketPath(std::move(socketPath)), m_device(device) {
        std::vector<WatchEvent> ignored;
        Reconnect(ignored);
    }

    bool Wait(std::vector<WatchEvent>& events) override {
        while (!m_stop.IsRaised() && events.empty()) {
            if (!m_client.IsConnected()) {
                if (!Reconnect(events)) {
                    Pause(kRetryIntervalMs);
                }
                continue;
            }
            pollfd entries[] = {{m_stop.Fd(), POLLIN, 0}, {m_client.Fd(), POLLIN, 0}};
            if (::poll(entries, 2, m_stop.PollTimeout(-1)) < 0 && errno != EINTR) {
                Disconnect(events);
                continue;
            }
            if (entries[1].revents != 0) {
                Receive(events);
            }
        }
        return !m_stop.IsRaised();
    }

    void Stop() override { m_stop.Raise(); }

  private:
    static constexpr int kRetryIntervalMs = 1000;

    // Connects and subscribes; a change of presence since the last connection is an event.
    bool Reconnect(std::vector<WatchEvent>& events) {
        Client client(emulator::Connect(m_socketPath));
        if (!client.IsConnected()) {
            return false;
        }
        const std::optional<std::uint8_t> present = client.RequestResult(
            PacketType::Watch, emulator::DevicePayload(m_device.vid, m_device.pid));
        if (!present) {
            return false;
        }
        m_client = std::move(client);
        SetPresent(*present == 1, events);
        return true;
    }

    void Disconnect(std::vector<WatchEvent>& events) {
        m_client = Client(UniqueFd());
        SetPresent(false, events);
    }

    void Receive(std::vector<WatchEvent>& events) {
        std::vector<std::uint8_t> packet;
        if (emulator::ReceivePacket(m_client.Fd(), packet, std::chrono::milliseconds(0)) ==
            emulator::ReceiveStatus::Closed) {
            Disconnect(events);
            return;
        }
        const std::optional<emulator::PacketView> view = emulator::ParsePacket(packet);
        if (!view) {
            return;
        }
        switch (view->type) {
            case PacketType::Arrived:
                SetPresent(true, events);
                break;
            case PacketType::Removed:
                SetPresent(false, events);
                break;
            case PacketType::Input:
                events.push_back(
                    {WatchEvent::Kind::Input,
                     std::vector<std::uint8_t>(view->payload.begin(), view->payload.end())});
                break;
            default:
                break;
        }
    }

    void SetPresent(bool present, std::vector<WatchEvent>& events) {
        if (present != m_present) {
            m_present = present;
            events.push_back({present ? WatchEvent::Kind::Arrived : WatchEvent::Kind::Removed, {}});
        }
    }

    void Pause(int milliseconds) {
        pollfd entry{m_stop.Fd(), POLLIN, 0};
        ::poll(&entry, 1, m_stop.PollTimeout(milliseconds));
    }

    const std::string m_socketPath;
    const DeviceId m_device;
    StopSignal m_stop;
    Client m_client{UniqueFd()};
    bool m_present = false;
};

}  // namespace

std::shared_ptr<FeatureDevice> EmulatorTransport::Open(DeviceId device) {
    Client client(emulator::Connect(m_socketPath));
    if (!client.IsConnected() ||
        client.RequestResult(PacketType::Open, emulator::DevicePayload(device.vid, device.pid)) !=
            1) {
        return nullptr;
    }
    return std::make_shared<EmulatorDevice>(std::move(client));
}

std::unique_ptr<DeviceWatch> EmulatorTransport::Watch(DeviceId device) {
    return std::make_unique<EmulatorWatch>(m_socketPath, device);
}

}  // namespace veltrix::hiddriver
