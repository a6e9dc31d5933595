#include "pages/DevicePageRules.h"

#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsFiles.h"

namespace veltrix {

DevicePageRules::DevicePageRules(ProfileSettings& settings, SettingsKeeper& keeper,
                                 DevicePageView& view, const VeltrixWindowHandle& window)
    : m_settings(settings), m_keeper(keeper), m_view(view), m_window(window) {}

void DevicePageRules::NoteApplyRequest(std::uintptr_t wParam, std::intptr_t lParam) {
    // A profile switch posts kApplyProfiles with 0; nothing else that start-up does posts.
    if (m_bStartupSelectionPending && wParam == kApplyProfiles && lParam == 0) {
        m_bStartupSelectionPending = false;
    } else {
        m_keeper.MarkUserChange();
    }
}

void DevicePageRules::SelectProfile(int profile) {
    m_settings.iCurProfile = profile;
    m_view.ReloadPages();
    VeltrixPost(&m_window, kMsgApplyRequest, kApplyProfiles, 0);
}

void DevicePageRules::ResetProfiles() {
    ResetProfileSettings(m_settings);
    m_view.SelectProfileButtonSilently(0);
    m_view.ReloadPages();
    VeltrixPost(&m_window, kMsgApplyRequest, kApplyProfiles, kApplyEveryProfile);
}

bool DevicePageRules::ExportProfile(const std::filesystem::path& file) const {
    return ExportProfileFile(CurrentProfile(m_settings), file);
}

ProfileImportStatus DevicePageRules::ImportProfile(MacroStore& store,
                                                   const std::filesystem::path& file,
                                                   const std::filesystem::path& dataFolder) {
    const ProfileImportResult result =
        ImportProfileFile(CurrentProfile(m_settings), store, file, MacroFile(dataFolder));
    if (!result.Imported()) {
        return result.status;
    }
    if (result.macrosAdded > 0) {
        m_view.FillMacroLists();
    }
    m_view.ReloadPages();
    m_keeper.Save(m_settings);
    VeltrixPost(&m_window, kMsgApplyRequest, kApplyProfiles, kApplyCurrentProfile);
    return result.status;
}

}  // namespace veltrix
