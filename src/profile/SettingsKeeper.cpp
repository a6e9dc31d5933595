#include "profile/SettingsKeeper.h"

#include <utility>

#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"

namespace veltrix {

SettingsKeeper::SettingsKeeper(std::filesystem::path file) : m_file(std::move(file)) {}

SettingsSource SettingsKeeper::Load(ProfileSettings& settings) {
    m_bHeld = false;
    if (ReadFilePrefix(m_file, WritableRecordBytes(settings))) {
        return SettingsSource::File;
    }
    ResetProfileSettings(settings);
    if (PathIsMissing(m_file)) {
        Save(settings);
        return SettingsSource::Defaults;
    }
    m_bHeld = true;
    return SettingsSource::Unreadable;
}

bool SettingsKeeper::Save(const ProfileSettings& settings) {
    if (m_bHeld) {
        return false;
    }
    return EnsureDirectory(m_file.parent_path()) &&
           WriteFileAtomically(m_file, RecordBytes(settings));
}

}  // namespace veltrix
