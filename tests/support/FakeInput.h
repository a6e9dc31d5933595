#pragma once

#include <string>

#include <X11/Xlib.h>

namespace veltrix::test {

// Real input for an X server, through XTest: each call returns once the server has taken the
// event, so whatever watches the server has it on its way.
class FakeInput {
  public:
    explicit FakeInput(const std::string& displayName);
    ~FakeInput();
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;

    bool IsOpen() const { return m_display != nullptr; }
    void Key(unsigned keyCode, bool press);
    void Button(unsigned button, bool press);
    // Press and release.
    void TapKey(unsigned keyCode);
    void Click(unsigned button);

  private:
    Display* m_display = nullptr;
};

}  // namespace veltrix::test
