#include "HookBinding.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdio>

#include "InWindowHooks.h"
#include "Language.h"
#include "platform/HookPluginLink.h"
#include "platform/x11/X11Connection.h"

namespace veltrix::gui {

BoundHooks BindHookLibrary() {
    const QString platform = QGuiApplication::platformName();
    // RECORD is only asked about under an X11 window: a Wayland window's keys never reach it.
    const bool onX11 = platform == "xcb";
    if (ChooseInputPath(platform.toStdString(), onX11 && x11::X11RecordAvailable()) ==
        InputPath::X11Record) {
        auto plugin = std::make_unique<HookPluginLink>();
        if (plugin->Bind()) {
            return {std::move(plugin), InputPath::X11Record};
        }
        std::fprintf(stderr, "veltrix-wireless: the input hook plugin is not usable (%s)\n",
                     plugin->Error().c_str());
    }
    std::fprintf(stderr,
                 "veltrix-wireless: keys and clicks are recorded while the window has the focus "
                 "(%s)\n",
                 onX11 ? "this X server has no RECORD" : "the desktop is not X11");
    return {std::make_unique<InWindowHooks>(), InputPath::InWindow};
}

DeferredHooks::DeferredHooks(std::function<void(InputPath)> bound) : m_bound(std::move(bound)) {}

void DeferredHooks::Bind() {
    if (m_pHooks != nullptr) {
        return;
    }
    BoundHooks bound = BindHookLibrary();
    m_pHooks = std::move(bound.hooks);
    if (m_bound) {
        m_bound(bound.path);
    }
}

HookLibrary& DeferredHooks::Hooks() {
    Bind();
    return *m_pHooks;
}

void DeferredHooks::installmousehook(const VeltrixWindowHandle& window) {
    Hooks().installmousehook(window);
}

void DeferredHooks::removemousehook() {
    if (m_pHooks != nullptr) {
        m_pHooks->removemousehook();
    }
}

void DeferredHooks::enablemousehook(std::int32_t enable) {
    Hooks().enablemousehook(enable);
}

void DeferredHooks::installhook(const VeltrixWindowHandle& window) {
    Hooks().installhook(window);
}

void DeferredHooks::removehook() {
    if (m_pHooks != nullptr) {
        m_pHooks->removehook();
    }
}

void DeferredHooks::enablehook(std::int32_t enable) {
    Hooks().enablehook(enable);
}

void DeferredHooks::mousewheelenable(std::int32_t enable) {
    Hooks().mousewheelenable(enable);
}

void ExplainInputPath(QWidget* window, InputPath path) {
    if (path != InputPath::InWindow || window == nullptr) {
        return;
    }
    const QString sentence = Tr("in_window_input_text");
    for (const char* name : {"wireless_macro_record_btn", "wireless_macro_action_edit",
                             "wireless_keyboard_type_edit"}) {
        if (auto* control = window->findChild<QWidget*>(name)) {
            const QString tip = control->toolTip();
            control->setToolTip(tip.isEmpty() ? sentence : tip + '\n' + sentence);
        }
    }
}

}  // namespace veltrix::gui
