// veltrix_save_loop DATA_FOLDER FIRST: saves Config_1.data and macro.data in the settings folder
// of DATA_FOLDER over and over, through the program's own save paths, alternating two contents
// and beginning with content FIRST (0 or 1). It says "saving" on its output once it has begun and
// runs until it is killed.

#include <iostream>
#include <string_view>

#include "SaveLoopContents.h"
#include "profile/SettingsFiles.h"
#include "profile/SettingsKeeper.h"

int main(int argc, char** argv) {
    if (argc != 3 || (argv[2] != std::string_view("0") && argv[2] != std::string_view("1"))) {
        std::cerr << "usage: veltrix_save_loop DATA_FOLDER FIRST\n";
        return 2;
    }
    const unsigned first = argv[2][0] == '1' ? 1 : 0;
    const std::filesystem::path dataFolder = argv[1];
    const veltrix::test::SaveLoopContent contents[] = {veltrix::test::MakeSaveLoopContent(0),
                                                       veltrix::test::MakeSaveLoopContent(1)};
    veltrix::SettingsKeeper keeper(veltrix::SettingsFile(dataFolder));
    std::cout << "saving" << std::endl;
    for (unsigned round = 0;; ++round) {
        const veltrix::test::SaveLoopContent& content = contents[(first + round) % 2];
        if (!keeper.Save(*content.settings) ||
            !veltrix::SaveMacroList(content.macros, dataFolder)) {
            std::cerr << "veltrix_save_loop: a save failed\n";
            return 1;
        }
    }
}
