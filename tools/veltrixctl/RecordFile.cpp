#include "RecordFile.h"

#include "platform/BinaryFile.h"

namespace veltrix::ctl {

std::unique_ptr<ProfileSettings> ReadRecordFile(const std::filesystem::path& path,
                                                std::string& error) {
    const std::optional<std::uintmax_t> size = RegularFileSize(path);
    if (!size) {
        error = "cannot read " + path.string();
        return nullptr;
    }
    if (*size != sizeof(ProfileSettings)) {
        error = path.string() + " holds " + std::to_string(*size) + " bytes, not the " +
                std::to_string(sizeof(ProfileSettings)) + " of a settings record";
        return nullptr;
    }
    auto settings = std::make_unique<ProfileSettings>();
    const std::optional<std::size_t> read = ReadFilePrefix(path, WritableRecordBytes(*settings));
    if (read != sizeof(ProfileSettings)) {
        error = "cannot read " + path.string();
        return nullptr;
    }
    return settings;
}

}  // namespace veltrix::ctl
