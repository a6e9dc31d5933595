#include "MouseSession.h"

#include <utility>

namespace veltrix::ctl {

MouseSession::MouseSession(ProfileSettings& settings, RecordSaver save)
    : m_session(settings, m_loop, m_loop.Window(), std::move(save), SystemClock()) {}

bool MouseSession::Start(std::string& error) {
    m_session.Start();
    for (const HidDriverLink* link : {&m_session.Receiver(), &m_session.Cable()}) {
        if (!link->IsBound()) {
            error = "cannot load the driver plugin: " + link->Error();
            return false;
        }
    }
    return true;
}

}  // namespace veltrix::ctl
