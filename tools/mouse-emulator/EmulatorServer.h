#pragma once

// The emulated mouse on its socket (hiddriver/EmulatorProtocol.h): one thread, one poll loop over
// the listening socket, every connection, the status timer and the stop signals.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <sys/types.h>

#include "CtlCommand.h"
#include "MouseModel.h"
#include "hiddriver/UniqueFd.h"

namespace veltrix::emulator {

class EmulatorServer {
  public:
    enum class ListenResult { Listening, InUse, Unusable };

    // Binds the socket at `path`. A stale socket file left by an emulator that died is replaced;
    // a live one is InUse; anything else at the path, or a path that cannot hold a socket, is
    // Unusable. `error` says why when not Listening.
    ListenResult Listen(const std::string& path, std::string& error);

    // Serves until `stopFd` (a signalfd) becomes readable, then closes every connection and
    // removes the socket file, unless another has replaced it meanwhile.
    void Run(int stopFd);

  private:
    struct Connection {
        UniqueFd fd;
        std::optional<DeviceLinkKind> watched;
        std::optional<DeviceLinkKind> opened;
        std::uint64_t openedGeneration = 0;
        bool closing = false;
    };

    void Accept();
    void ReadFrom(Connection& connection);
    void Handle(Connection& connection, std::span<const std::uint8_t> packet);
    void Execute(Connection& connection, std::uint32_t id, const CtlCommand& command);
    void Send(Connection& connection, std::span<const std::uint8_t> packet);
    void Reply(Connection& connection, std::uint32_t id, std::uint8_t result);
    void Broadcast(DeviceLinkKind link, std::span<const std::uint8_t> packet);
    void SendInput(const std::optional<OutgoingReport>& report);
    bool IsOpenHandle(const Connection& connection) const;
    static std::size_t LinkIndex(DeviceLinkKind link);

    MouseModel m_mouse;
    std::string m_path;
    dev_t m_socketDevice = 0;
    ino_t m_socketInode = 0;
    UniqueFd m_listener;
    std::vector<Connection> m_connections;
    // Counts each link's removals: a handle opened before the latest one is stale.
    std::array<std::uint64_t, 2> m_generation{};
};

}  // namespace veltrix::emulator
