#pragma once

// An open file descriptor that is closed when its holder goes, whichever way the code leaves.

#include <unistd.h>

namespace veltrix {

class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { Reset(-1); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

  private:
    int m_fd;
};

}  // namespace veltrix
