#pragma once

// Starting the program with the desktop session: an entry in the user's XDG autostart folder that
// starts it hidden in the notification area. The entry's presence is the setting; nothing else
// records it, so a user who deletes the file by hand has switched it off.

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrix {

// $XDG_CONFIG_HOME/autostart/io.veltrix.Wireless.desktop, by default under ~/.config, named
// after the application id as desktops expect.
std::filesystem::path AutostartFile();

// True when the entry exists and has not been switched off by the desktop's own session settings
// (which mark the user's copy Hidden=true rather than deleting it).
bool AutostartEnabled();

// Writes the entry (atomically, creating the autostart folder) or removes it. True when the file
// is as asked afterwards: removing an absent entry succeeds. The entry starts the running
// program.
bool SetAutostart(bool enable);
// The same for a given program file.
bool SetAutostart(bool enable, const std::filesystem::path& program);

// The text of the entry that starts `program` hidden. When `program` is what its bare name finds
// on PATH (an installed program), the entry names it by that name, so it survives the program
// being reinstalled elsewhere on PATH; otherwise (a build tree, an unpacked copy) it holds the
// absolute path, quoted as desktop entries require.
std::string AutostartEntry(const std::filesystem::path& program);

// One argument of a desktop entry's Exec key, quoted and escaped so that it reaches the program
// unchanged.
std::string DesktopExecArgument(std::string_view argument);

}  // namespace veltrix
