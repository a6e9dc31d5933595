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

    // Reads the file into the record. A shorter file fills only the beginning and leaves the
    // rest as it was; extra bytes are not read. A missing file gives the defaults, which are
    // saved at once. A file that is there but cannot be read (an I/O error, a folder in its
    // place, no permission) gives the defaults for this run and holds every save until
    // MarkUserChange(): the caller tells the user once.
    SettingsSource Load(ProfileSettings& settings);

    // Writes the record to the file, creating its folder when needed, unless saving is held.
    // True when the file now holds the record; otherwise the previous file is untouched.
    bool Save(const ProfileSettings& settings);

    // Whether saves are held because the file could not be read.
    bool SavingHeld() const { return m_bHeld; }

    // The user changed a setting: the record in memory is now theirs, and saves go through.
    void MarkUserChange() { m_bHeld = false; }

    const std::filesystem::path& File() const { return m_file; }

  private:
    std::filesystem::path m_file;
    bool m_bHeld = false;
};

}  // namespace veltrix
