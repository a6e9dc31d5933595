#include "profile/SettingsKeeper.h"

#include <cstring>
#include <utility>

#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"

namespace veltrix {

SettingsKeeper::SettingsKeeper(std::filesystem::path file) : m_file(std::move(file)) {}

SettingsSource SettingsKeeper::Load(ProfileSettings& settings) {
    m_bHeld = false;
    m_unreadableCopy.clear();
    RemoveDeadTempFiles(m_file);
    const FileContent content = ReadWholeFile(m_file, sizeof(ProfileSettings));
    if (content.status == FileReadStatus::Read && content.bytes.size() == sizeof(ProfileSettings)) {
        std::memcpy(&settings, content.bytes.data(), sizeof(ProfileSettings));
        return SettingsSource::File;
    }
    ResetProfileSettings(settings);
    if (content.status == FileReadStatus::Missing) {
        Save(settings);
        return SettingsSource::Defaults;
    }
    // Read as a record padded with zeros, a short file would turn every button off, left click
    // included, and the mouse would get that.
    m_bHeld = true;
    m_unreadableCopy = UnreadableCopyPath(m_file);
    return SettingsSource::Unreadable;
}

bool SettingsKeeper::Save(const ProfileSettings& settings) {
    if (m_bHeld) {
        return false;
    }
    if (!m_unreadableCopy.empty()) {
        if (!KeepUnreadableFile(m_file, m_unreadableCopy)) {
            return false;
        }
        m_unreadableCopy.clear();
    }
    return EnsureDirectory(m_file.parent_path()) &&
           WriteFileAtomically(m_file, RecordBytes(settings));
}

}  // namespace veltrix
