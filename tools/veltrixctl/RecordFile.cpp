#include "RecordFile.h"

#include <cstring>

#include "platform/BinaryFile.h"

namespace veltrix::ctl {

std::unique_ptr<ProfileSettings> ReadRecordFile(const std::filesystem::path& path,
                                                std::string& error) {
    const FileContent content = ReadWholeFile(path, sizeof(ProfileSettings));
    if (content.status == FileReadStatus::TooLarge ||
        (content.status == FileReadStatus::Read && content.size != sizeof(ProfileSettings))) {
        error = path.string() + " holds " + std::to_string(content.size) + " bytes, not the " +
                std::to_string(sizeof(ProfileSettings)) + " of a settings record";
        return nullptr;
    }
    if (content.status != FileReadStatus::Read) {
        error = content.status == FileReadStatus::NotAFile
                    ? path.string() + " is not a regular file"
                    : "cannot read " + path.string();
        return nullptr;
    }
    auto settings = std::make_unique<ProfileSettings>();
    std::memcpy(settings.get(), content.bytes.data(), sizeof(ProfileSettings));
    return settings;
}

}  // namespace veltrix::ctl
