#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/Process.h"

namespace veltrix::test {

// A private X server: Xvfb on a display number it picks itself, accepting connections once the
// constructor returns (IsRunning() false when it could not start). Ended when the object goes.
class XvfbServer {
  public:
    explicit XvfbServer(const std::vector<std::string>& extraArgs = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool IsRunning() const { return !m_name.empty(); }
    // The display name, ":N".
    const std::string& Name() const { return m_name; }
    // Switches the server's keyboard layout (setxkbmap); true when that worked.
    bool SetLayout(const std::string& layout) const;
    // What the server wrote to its standard error.
    std::string ErrorOutput() const { return m_process->ErrorOutput(); }

  private:
    std::unique_ptr<ChildProcess> m_process;
    std::string m_name;
};

}  // namespace veltrix::test
