#include <iostream>

#include "Command.h"
#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"

namespace veltrix::ctl {

int RunDefaults(Arguments args) {
    if (args.size() != 1) {
        return UsageError("defaults takes one argument, the file to write");
    }
    auto settings = std::make_unique<ProfileSettings>();
    ResetProfileSettings(*settings);
    if (!WriteFileAtomically(args[0], RecordBytes(*settings))) {
        return UsageError("cannot write " + args[0]);
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
