#include <cstdio>
#include <iostream>
#include <string>

#include "Command.h"
#include "RecordFile.h"
#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix::ctl {
namespace {

std::string ColorText(ColorRef color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return text;
}

std::string RateText(std::int32_t reportRate) {
    constexpr int kHertz[] = {125, 250, 500, 1000};
    if (reportRate >= 0 && reportRate <= 3) {
        return std::to_string(kHertz[reportRate]) + " Hz";
    }
    // Any other stored value reaches the mouse as the 500 Hz code.
    return "500 Hz (stored value " + std::to_string(reportRate) + ")";
}

std::string ButtonText(const ButtonEntry& entry) {
    switch (entry.byFuncCode) {
        case kFuncKeyboardKey: {
            std::string text(KeyTextId(entry.byKeyCode));
            if (text.empty()) {
                text = "key code " + std::to_string(entry.byKeyCode);
            }
            if (entry.byKeyModifiers != 0) {
                char modifiers[24];
                std::snprintf(modifiers, sizeof modifiers, " (modifiers 0x%02x)",
                              entry.byKeyModifiers);
                text += modifiers;
            }
            return text;
        }
        case kFuncMacro:
            return "macro \"" + TerminalSafe(Utf16ToUtf8(FieldText(entry.szMacroName))) + "\"";
        default: {
            const std::string_view id = FunctionTextId(entry.byFuncCode);
            return id.empty() ? "function " + std::to_string(entry.byFuncCode) : std::string(id);
        }
    }
}

void ShowProfile(const ProfileData& profile, int index, std::ostream& out) {
    out << "profile " << index + 1 << "\n";
    out << "  dpi levels (current " << CurrentDpiLevel(profile) + 1 << ")\n";
    for (int level = 0; level < kDpiLevelCount; ++level) {
        const auto k = static_cast<std::size_t>(level);
        out << "    " << level + 1 << "  " << profile.aiDpiValue[k] * 100LL << " dpi  "
            << ColorText(profile.acrDpiColor[k]) << "  "
            << (profile.aiDpiEnabled[k] == 1 ? "on" : "off") << "\n";
    }
    out << "  report rate  " << RateText(profile.iReportRate) << "\n";
    const ColorRef lightColor =
        profile.iLightMode == 1 ? profile.crLightColor : profile.acrLightPreset[0];
    out << "  lighting  mode " << profile.iLightMode << ", brightness " << profile.iLightBrightness
        << ", speed " << profile.iLightSpeed << ", direction " << profile.iLightDirection
        << ", colour " << ColorText(lightColor) << "\n";
    out << "  buttons\n";
    for (int button = 0; button < kShownButtonCount; ++button) {
        out << "    " << (button < 9 ? " " : "") << button + 1 << "  "
            << ButtonText(profile.aButton[static_cast<std::size_t>(button)]) << "\n";
    }
}

}  // namespace

int RunShow(Arguments args) {
    if (args.size() != 1) {
        return UsageError("show takes one argument, the settings file");
    }
    std::string error;
    const std::unique_ptr<ProfileSettings> settings = ReadRecordFile(args[0], error);
    if (!settings) {
        return UsageError(error);
    }
    std::cout << "current profile " << CurrentProfileIndex(*settings) + 1;
    if (settings->iCurProfile != CurrentProfileIndex(*settings)) {
        std::cout << " (stored value " << settings->iCurProfile << ")";
    }
    std::cout << "\n";
    for (int index = 0; index < kProfileCount; ++index) {
        ShowProfile(ProfileAt(*settings, index), index, std::cout);
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
