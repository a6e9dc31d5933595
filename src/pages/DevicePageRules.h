#pragma once

// The rules of the device page's own controls: the profile buttons, reset, and a profile's export
// and import, and which apply requests are changes of the user's. The page asks the user and
// draws through DevicePageView.

#include <cstdint>
#include <filesystem>

#include "macro/MacroStore.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/ProfileTransfer.h"
#include "profile/SettingsKeeper.h"

namespace veltrix {

class DevicePageView {
  public:
    virtual ~DevicePageView() = default;

    // Every setting page shows the current profile of the record again.
    virtual void ReloadPages() = 0;
    // Checks the profile's button without it counting as the user's choice.
    virtual void SelectProfileButtonSilently(int profile) = 0;
    // Pages that list macros refill their lists.
    virtual void FillMacroLists() = 0;
};

class DevicePageRules {
  public:
    // Apply requests go to `window`.
    DevicePageRules(ProfileSettings& settings, SettingsKeeper& keeper, DevicePageView& view,
                    const VeltrixWindowHandle& window);

    // Start-up is about to select the current profile, which applies it to the mouse: that
    // request is no change of the user's, so an unreadable settings file stays untouched.
    void ExpectStartupSelection() { m_bStartupSelectionPending = true; }
    // Every apply request passes here before it is queued; all but start-up's are the user's.
    void NoteApplyRequest(std::uintptr_t wParam, std::intptr_t lParam);

    void SelectProfile(int profile);
    // Every profile goes back to the factory settings, on the mouse too; the first is current.
    // The user has been asked: there is no way back.
    void ResetProfiles();
    // False when the profile did not reach its file.
    bool ExportProfile(const std::filesystem::path& file) const;
    // Replaces the current profile with the file's and brings its macros into the store; a
    // refused file changes nothing.
    ProfileImportStatus ImportProfile(MacroStore& store, const std::filesystem::path& file,
                                      const std::filesystem::path& dataFolder);

  private:
    ProfileSettings& m_settings;
    SettingsKeeper& m_keeper;
    DevicePageView& m_view;
    VeltrixWindowHandle m_window;
    bool m_bStartupSelectionPending = false;
};

}  // namespace veltrix
