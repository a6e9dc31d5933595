// veltrix-mouse-emulator: the Veltrix wireless mouse with its receiver and its cable, on a Unix
// socket, for tests, demos and anyone without the hardware.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include <sys/signalfd.h>

#include "CtlCommand.h"
#include "EmulatorServer.h"
#include "hiddriver/EmulatorProtocol.h"

namespace veltrix::emulator {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintHelp(std::ostream& out) {
    out << "usage: veltrix-mouse-emulator serve --socket PATH\n"
           "       veltrix-mouse-emulator ctl --socket PATH COMMAND [ARGUMENT]\n\n"
           "serve runs the mouse on a socket at PATH: the receiver plugged in, the cable out,\n"
           "awake, the battery at 3 bars. It stops on SIGTERM or SIGINT. The driver plugins use\n"
           "it instead of hidraw when the environment variable "
        << kSocketVariable << " names PATH.\n\nctl commands a running emulator:\n"
        << kCtlCommandHelp
        << "\nExit codes: 0 success, 1 the emulator could not serve or could not be reached,\n"
           "2 bad arguments or an unusable socket path.\n";
}

int UsageError(const std::string& message) {
    std::cerr << "veltrix-mouse-emulator: " << message << "\n";
    return kExitUsage;
}

int Failure(const std::string& message) {
    std::cerr << "veltrix-mouse-emulator: " << message << "\n";
    return kExitFailure;
}

int Serve(const std::string& path) {
    // The stop signals are taken through a descriptor, so the serving loop sees them between
    // two packets and never inside one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const UniqueFd stopFd(::signalfd(-1, &stopSignals, SFD_CLOEXEC));
    if (!stopFd.IsValid()) {
        return Failure("cannot watch for signals");
    }

    EmulatorServer server;
    std::string error;
    switch (server.Listen(path, error)) {
        case EmulatorServer::ListenResult::Listening:
            break;
        case EmulatorServer::ListenResult::InUse:
            return Failure(error);
        case EmulatorServer::ListenResult::Unusable:
            return UsageError(error);
    }
    // Whoever started the emulator may wait for this line before connecting.
    std::cout << "serving " << path << std::endl;
    server.Run(stopFd.Get());
    return kExitOk;
}

int Ctl(const std::string& path, const std::vector<std::string>& words) {
    std::string error;
    if (!ParseCtlCommand(words, error)) {
        return UsageError(error + "; see veltrix-mouse-emulator --help");
    }
    Client client(Connect(path));
    if (!client.IsConnected()) {
        return Failure("no emulator is serving at " + path);
    }
    std::string output;
    if (!client.RunCommand(words, output, error)) {
        return Failure(error);
    }
    std::cout << output;
    return kExitOk;
}

}  // namespace
}  // namespace veltrix::emulator

int main(int argc, char** argv) {
    using namespace veltrix::emulator;
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        PrintHelp(std::cout);
        return kExitOk;
    }
    if (args.size() < 3 || (args[0] != "serve" && args[0] != "ctl") || args[1] != "--socket") {
        PrintHelp(std::cerr);
        return kExitUsage;
    }
    if (args[0] == "serve") {
        return args.size() == 3 ? Serve(args[2]) : UsageError("serve takes only --socket PATH");
    }
    return Ctl(args[2], std::vector<std::string>(args.begin() + 3, args.end()));
}
