#include "platform/x11/X11Keyboard.h"

#include <algorithm>
#include <bitset>
#include <vector>

#include <X11/XKBlib.h>

#include "platform/x11/KeysymTable.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix::x11 {
namespace {

// X key codes are the kernel's input codes plus 8; for the keys of the main block the input
// code is the set-1 scan code itself.
constexpr unsigned kKeyCodeOffset = 8;
constexpr unsigned kLastOneByteScanCode = 0x58;  // F12

using LevelSymbols = std::array<std::array<KeySym, 2>, 256>;

// The unshifted and shifted symbol of every key in `group`, through XKB.
bool ReadXkbSymbols(Display* display, int group, LevelSymbols& symbols) {
    XkbDescPtr desc = ::XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (desc == nullptr) {
        return false;
    }
    for (unsigned code = desc->min_key_code; code <= desc->max_key_code && code < 256; ++code) {
        const int groups = XkbKeyNumGroups(desc, code);
        if (groups == 0) {
            continue;
        }
        // A group past the key's own wraps round, as the server does for it.
        const int keyGroup = group % groups;
        const int width = std::min<int>(XkbKeyGroupWidth(desc, code, keyGroup), 2);
        for (int level = 0; level < width; ++level) {
            symbols[code][static_cast<std::size_t>(level)] =
                XkbKeySymEntry(desc, code, level, keyGroup);
        }
    }
    ::XkbFreeKeyboard(desc, 0, True);
    return true;
}

// The same from the core protocol, for a server without XKB (first group only).
void ReadCoreSymbols(Display* display, LevelSymbols& symbols) {
    int minCode = 0;
    int maxCode = 0;
    ::XDisplayKeycodes(display, &minCode, &maxCode);
    int perCode = 0;
    KeySym* map = ::XGetKeyboardMapping(display, static_cast<KeyCode>(minCode),
                                        maxCode - minCode + 1, &perCode);
    if (map == nullptr) {
        return;
    }
    for (int code = minCode; code <= maxCode && code < 256; ++code) {
        for (int level = 0; level < std::min(perCode, 2); ++level) {
            symbols[static_cast<std::size_t>(code)][static_cast<std::size_t>(level)] =
                map[(code - minCode) * perCode + level];
        }
    }
    ::XFree(map);
}

// The set-1 scan code of an X key code; 0 outside the main block.
std::uint32_t ScanCodeOfKey(std::size_t keyCode) {
    return keyCode > kKeyCodeOffset && keyCode - kKeyCodeOffset <= kLastOneByteScanCode
               ? static_cast<std::uint32_t>(keyCode - kKeyCodeOffset)
               : 0;
}

// The virtual key at a position of a US keyboard, and back; 0 when the table has none.
std::uint32_t UsVirtualKeyAt(std::uint32_t scanCode) {
    const auto* row =
        std::find_if(std::begin(kKeyTranslationTable), std::end(kKeyTranslationTable),
                     [scanCode](const KeyTranslationRow& r) { return r.scanCode == scanCode; });
    return scanCode != 0 && row != std::end(kKeyTranslationTable) ? row->virtualKey : 0;
}

std::uint32_t UsScanCodeOf(std::uint32_t virtualKey) {
    const auto* row = std::find_if(
        std::begin(kKeyTranslationTable), std::end(kKeyTranslationTable),
        [virtualKey](const KeyTranslationRow& r) { return r.virtualKey == virtualKey; });
    return row != std::end(kKeyTranslationTable) ? row->scanCode : 0;
}

}  // namespace

X11Keyboard::X11Keyboard(Display* display) : m_display(display) {
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (display != nullptr &&
        ::XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) {
        m_xkbEventBase = eventBase;
        const unsigned changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        ::XkbSelectEvents(display, XkbUseCoreKbd, changes, changes);
    }
}

void X11Keyboard::Update() {
    int group = 0;
    if (m_xkbEventBase >= 0) {
        XkbStateRec state{};
        ::XkbGetState(m_display, XkbUseCoreKbd, &state);
        group = state.group;
    } else {
        ::XSync(m_display, False);
    }
    // The round trip above has read every change the server announced before it.
    while (::XPending(m_display) > 0) {
        XEvent event;
        ::XNextEvent(m_display, &event);
        if (event.type == MappingNotify) {
            m_stale = true;
        } else if (m_xkbEventBase >= 0 && event.type == m_xkbEventBase) {
            const int kind = reinterpret_cast<const XkbAnyEvent&>(event).xkb_type;
            m_stale = m_stale || kind == XkbNewKeyboardNotify || kind == XkbMapNotify;
        }
    }
    if (m_stale || group != m_group) {
        m_group = group;
        Rebuild();
        m_stale = false;
    }
}

void X11Keyboard::Rebuild() {
    LevelSymbols symbols{};
    if (m_xkbEventBase < 0 || !ReadXkbSymbols(m_display, m_group, symbols)) {
        ReadCoreSymbols(m_display, symbols);
    }
    // A virtual key of a position (letters to F12) leads back to its key through ScanCode, so
    // no two keys may share one, and only a key that has such a position may have one (the
    // extra key of ISO keyboards has none). Other virtual keys (two Alt keys, say) may repeat.
    m_keys.fill(0);
    std::bitset<256> taken;
    const auto take = [&](std::size_t code, std::uint32_t virtualKey) {
        if (UsScanCodeOf(virtualKey) != 0) {
            if (taken.test(virtualKey) || UsVirtualKeyAt(ScanCodeOfKey(code)) == 0) {
                return;
            }
            taken.set(virtualKey);
        }
        m_keys[code] = virtualKey;
    };
    // Letters and digits follow the character, unshifted or shifted; then the other symbols.
    for (const bool lettersAndDigits : {true, false}) {
        for (std::size_t level = 0; level < 2; ++level) {
            for (std::size_t code = 0; code < symbols.size(); ++code) {
                const KeySym symbol = symbols[code][level];
                if (m_keys[code] == 0 && IsLetterOrDigit(symbol) == lettersAndDigits) {
                    if (const std::uint32_t virtualKey = VirtualKeyOfKeysym(symbol)) {
                        take(code, virtualKey);
                    }
                }
            }
        }
    }
    // A key of the main block left without one takes the virtual key of its position on a US
    // keyboard, or when another key has that, one that no key has.
    std::vector<std::uint32_t> unused;
    for (const KeyTranslationRow& row : kKeyTranslationTable) {
        if (row.scanCode != 0 && !taken.test(row.virtualKey)) {
            unused.push_back(row.virtualKey);
        }
    }
    std::vector<std::size_t> homeless;
    for (std::size_t code = 0; code < m_keys.size(); ++code) {
        const std::uint32_t own = UsVirtualKeyAt(ScanCodeOfKey(code));
        if (m_keys[code] == 0 && own != 0) {
            if (taken.test(own)) {
                homeless.push_back(code);
            } else {
                take(code, own);
                std::erase(unused, own);
            }
        }
    }
    for (std::size_t i = 0; i < homeless.size() && i < unused.size(); ++i) {
        take(homeless[i], unused[i]);
    }
}

std::uint32_t X11Keyboard::VirtualKey(unsigned keyCode) const {
    return keyCode < m_keys.size() ? m_keys[keyCode] : 0;
}

std::uint32_t X11Keyboard::ScanCode(std::uint32_t virtualKey) const {
    if (virtualKey == 0) {
        return 0;
    }
    const auto key = std::find(m_keys.begin(), m_keys.end(), virtualKey);
    return key != m_keys.end() ? ScanCodeOfKey(static_cast<std::size_t>(key - m_keys.begin())) : 0;
}

}  // namespace veltrix::x11
