#include "device/DeviceSession.h"

#include <iostream>
#include <utility>

namespace veltrix {

DeviceSession::DeviceSession(ProfileSettings& settings, DeviceLinkView& view,
                             const VeltrixWindowHandle& window, RecordSaver save, Clock& clock,
                             DriverLinks links)
    : m_settings(settings),
      m_links{links.receiver != nullptr ? links.receiver : &m_receiver,
              links.cable != nullptr ? links.cable : &m_cable},
      m_link(*m_links.receiver, *m_links.cable, settings, view, window, std::move(save)),
      m_worker(std::make_unique<ApplyWorker>(m_transport, m_link.Flags(), clock, window)) {}

DeviceSession::~DeviceSession() {
    m_worker.reset();
    m_link.Shutdown();
    m_receiver.Unbind();
    m_cable.Unbind();
}

void DeviceSession::Start() {
    Start(HidDriverLink::SearchFolders());
}

void DeviceSession::Start(std::span<const std::filesystem::path> folders) {
    if (folders.empty()) {
        std::cerr << "veltrix: the program's own folder is unknown (/proc/self/exe cannot be "
                     "read), so no driver plugin is loaded and no mouse can be found\n";
    }
    if (m_links.cable == &m_cable) {
        m_cable.Bind(kCableLibraryName, folders);
    }
    if (m_links.receiver == &m_receiver) {
        m_receiver.Bind(kReceiverLibraryName, folders);
    }
    m_link.StartDeviceLink();
}

void DeviceSession::Apply(std::uintptr_t wParam, std::intptr_t lParam) {
    m_worker->Post(wParam, lParam, m_settings);
}

void DeviceSession::FinishSending(std::chrono::nanoseconds limit) {
    m_worker->Finish(limit);
}

}  // namespace veltrix
