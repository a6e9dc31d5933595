#include "device/ApplyWorker.h"

#include <memory>
#include <optional>

#include "platform/Messages.h"

namespace veltrix {

struct ApplyWorker::Request {
    std::uintptr_t wParam;
    std::intptr_t lParam;
    ProfileSettings snapshot;
};

ApplyWorker::ApplyWorker(FeatureTransport& transport, const LinkFlags& flags, Clock& clock,
                         VeltrixWindowHandle window)
    : m_flags(flags),
      m_clock(clock),
      m_window(window),
      m_sender(transport, flags, clock),
      m_thread([this] { Run(); }) {}

ApplyWorker::~ApplyWorker() {
    Finish(kQuitSendLimit);
    m_thread.join();
    // Posted after the end: never served, only freed.
    while (const std::optional<Message> left = m_queue.TryTake()) {
        if (left->id == kMsgWorkerApply) {
            std::unique_ptr<Request>(reinterpret_cast<Request*>(left->lParam));
        }
    }
}

void ApplyWorker::Finish(std::chrono::nanoseconds limit) {
    m_sender.StopAt(m_clock.Now() + limit);
    if (!m_bFinishing.exchange(true)) {
        // Behind the requests already posted, so they are served first. Dropping them instead
        // would leave the mouse without the user's last edits until that area is edited again,
        // since a start sends only the commit; the cost is 0.4 s per accepted report, and
        // nothing when the mouse is gone, because then nothing is accepted.
        m_queue.Post({kMsgQuit, 0, 0});
    }
}

void ApplyWorker::Post(std::uintptr_t wParam, std::intptr_t lParam,
                       const ProfileSettings& snapshot) {
    // On the heap: the record is 164 KB. Its address travels through the queue, and the worker
    // takes ownership back when it takes the message.
    auto request = std::make_unique_for_overwrite<Request>();
    request->wParam = wParam;
    request->lParam = lParam;
    request->snapshot = snapshot;
    m_queue.Post({kMsgWorkerApply, 0, reinterpret_cast<std::intptr_t>(request.get())});
    request.release();
}

void ApplyWorker::Run() {
    for (;;) {
        const Message message = m_queue.Wait();
        if (message.id == kMsgQuit) {
            VeltrixPost(&m_window, kMsgWorkerStopped, 0, 0);
            return;
        }
        if (message.id == kMsgWorkerApply) {
            const std::unique_ptr<Request> request(reinterpret_cast<Request*>(message.lParam));
            if (m_sender.Stopped()) {
                VeltrixPost(&m_window, kMsgApplyFinished, kApplyDiscarded, 0);
            } else {
                Serve(*request);
            }
        }
    }
}

void ApplyWorker::Serve(const Request& request) {
    if (!m_flags.AcceptsRequests()) {
        VeltrixPost(&m_window, kMsgApplyFinished, kApplyDiscarded, 0);
        return;
    }
    VeltrixPost(&m_window, kMsgApplyStarted, 0, 0);
    const int rejected = m_sender.SendRequest(request.snapshot, request.wParam, request.lParam);
    VeltrixPost(&m_window, kMsgApplyFinished, kApplyDone, rejected);
}

}  // namespace veltrix
