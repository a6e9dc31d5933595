// veltrix_save_loop DATA_FOLDER: the saving process of the crash test, and its restarter.
//
// It forks a child that saves Config_1.data and macro.data in the settings folder of DATA_FOLDER
// over and over, through the program's own save paths, alternating two contents and beginning
// with the one the file does not hold. The child says "saving PID" once it has begun and runs
// until it is killed. The parent then says "killed" (or "failed" when the child ended in any other
// way), waits for SIGUSR1, and forks the next child. A fork costs far less than starting a
// program, so a thousand kills take seconds.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "SaveLoopContents.h"
#include "profile/SettingsFiles.h"
#include "profile/SettingsKeeper.h"

namespace {

using veltrix::test::SaveLoopContent;

void Say(const std::string& line) {
    // One write of a short line: the parent's and the child's lines never interleave.
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0) {
        std::_Exit(1);
    }
}

[[noreturn]] void SaveForever(const std::filesystem::path& dataFolder) {
    const SaveLoopContent contents[] = {veltrix::test::MakeSaveLoopContent(0),
                                        veltrix::test::MakeSaveLoopContent(1)};
    char first = 0;
    std::ifstream(veltrix::SettingsFile(dataFolder), std::ios::binary).get(first);
    const unsigned start = first == veltrix::test::kSaveLoopFill[0] ? 1 : 0;

    veltrix::SettingsKeeper keeper(veltrix::SettingsFile(dataFolder));
    Say("saving " + std::to_string(::getpid()));
    for (unsigned round = start;; ++round) {
        const SaveLoopContent& content = contents[round % 2];
        if (!keeper.Save(*content.settings) ||
            !veltrix::SaveMacroList(content.macros, dataFolder)) {
            std::_Exit(1);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: veltrix_save_loop DATA_FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path dataFolder = argv[1];
    sigset_t next;
    sigemptyset(&next);
    sigaddset(&next, SIGUSR1);
    sigprocmask(SIG_BLOCK, &next, nullptr);  // held until sigwait takes it
    for (;;) {
        const pid_t child = ::fork();
        if (child < 0) {
            return 1;
        }
        if (child == 0) {
            SaveForever(dataFolder);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0) {
        }
        Say(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? "killed" : "failed");
        int signal = 0;
        sigwait(&next, &signal);
    }
}
