#include "support/FakeInput.h"

#include <X11/extensions/XTest.h>

namespace veltrix::test {

FakeInput::FakeInput(const std::string& displayName)
    : m_display(::XOpenDisplay(displayName.c_str())) {}

FakeInput::~FakeInput() {
    if (m_display != nullptr) {
        ::XCloseDisplay(m_display);
    }
}

void FakeInput::Key(unsigned keyCode, bool press) {
    ::XTestFakeKeyEvent(m_display, keyCode, press ? True : False, CurrentTime);
    ::XSync(m_display, False);
}

void FakeInput::Button(unsigned button, bool press) {
    ::XTestFakeButtonEvent(m_display, button, press ? True : False, CurrentTime);
    ::XSync(m_display, False);
}

void FakeInput::TapKey(unsigned keyCode) {
    Key(keyCode, true);
    Key(keyCode, false);
}

void FakeInput::Click(unsigned button) {
    Button(button, true);
    Button(button, false);
}

}  // namespace veltrix::test
