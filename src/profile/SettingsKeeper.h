#pragma once

// The settings file of this run. Everything that saves the settings record goes through its
// keeper, so that a file which was there but could not be read is never overwritten behind the
// user's back: it may hold the only copy of their settings, and a passing fault (a disk that
// comes back, a permission put right) must not cost them.

#include <filesystem>

#include "profile/ProfileSettings.h"
#include "profile/SettingsFiles.h"

namespace veltrix {

class SettingsKeeper {
  public:
    // The program keeps SettingsFile(DataFolder()); a tool may keep any file.
    explicit SettingsKeeper(std::filesystem::path file);

    // Reads the file into the record. A missing file gives the defaults, which are saved at
    // once. A file that is there but is not a whole record (a 0-byte file after a full disk, a
    // truncated or oversized copy, a FIFO or folder in its place, an I/O error, no permission)
    // gives the defaults for this run and holds every save until MarkUserChange(): the caller
    // tells the user once, naming UnreadableCopy(). Temporary files of dead saves are removed.
    SettingsSource Load(ProfileSettings& settings);

    // Writes the record to the file, creating its folder when needed, unless saving is held.
    // The first save after an unreadable file moves that file to UnreadableCopy() first, and
    // fails (with the file left in place) when it cannot. True when the file now holds the
    // record; otherwise the previous file is untouched.
    bool Save(const ProfileSettings& settings);

    // Where an unreadable file is kept once the first save replaces it; empty when the file was
    // readable or has been kept already.
    const std::filesystem::path& UnreadableCopy() const { return m_unreadableCopy; }

    // Whether saves are held because the file could not be read.
    bool SavingHeld() const { return m_bHeld; }

    // The user changed a setting: the record in memory is now theirs, and saves go through.
    void MarkUserChange() { m_bHeld = false; }

    const std::filesystem::path& File() const { return m_file; }

  private:
    std::filesystem::path m_file;
    bool m_bHeld = false;
    std::filesystem::path m_unreadableCopy;
};

}  // namespace veltrix
