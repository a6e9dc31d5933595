#pragma once

// What the four setting pages have in common: the device page hands each what it works on and
// asks it to show the record again; each page builds its own layout from the skin folder.

#include <QWidget>
#include <filesystem>

#include "macro/MacroStore.h"
#include "pages/ApplyHold.h"
#include "platform/HookLibrary.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/SettingsKeeper.h"

namespace veltrix::gui {

struct PageContext {
    ProfileSettings* pSettings = nullptr;
    // Every save of the record goes through it.
    SettingsKeeper* pKeeper = nullptr;
    MacroStore* pMacroStore = nullptr;
    HookLibrary* pHooks = nullptr;
    CaptureTargetFlags* pCaptureFlags = nullptr;
    // Receives the pages' apply requests and is given to the hooks.
    VeltrixWindowHandle mainWindow{};
    // Owner of the pages' dialogs.
    QWidget* pDialogOwner = nullptr;
    std::filesystem::path dataFolder;
};

class CSettingsPage : public QWidget {
    Q_OBJECT

  public:
    CSettingsPage(QWidget* parent, QString layoutFile)
        : QWidget(parent), m_layoutFile(std::move(layoutFile)) {
        setAttribute(Qt::WA_StyledBackground);
    }

    // Builds the page's own layout and finds its controls. A layout that is missing or broken
    // leaves the page empty and every control null. Once; the window builds a hidden page when it
    // is first shown or asked for.
    void DoInit();
    bool IsBuilt() const { return m_bInitialised; }
    // The record, the store and the rest are handed over before the first reload.
    virtual void Wire(const PageContext& context) { m_context = context; }
    // Shows the current profile of the record again (profile change, reset, import).
    virtual void Reload() {}
    // The macro store changed: pages that list macros refill their lists.
    virtual void FillMacroList() {}
    // The context of the page's edits ends: what the page holds back is sent through `send` now.
    // True when something was sent.
    virtual bool FlushHeldEdits(const ApplySender& /*send*/) { return false; }

  protected:
    // Runs once the layout is built (whether or not it could be), to find the controls.
    virtual void FindControls(QWidget* /*root*/) {}
    const PageContext& Context() const { return m_context; }

  private:
    QString m_layoutFile;
    PageContext m_context;
    bool m_bInitialised = false;
};

}  // namespace veltrix::gui
