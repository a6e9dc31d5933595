#pragma once

// The apply worker: the one thread that writes to the mouse, so that the 400 ms pause after each
// report never blocks the window. Requests are served one at a time, in the order of posting.
//
// For each request the worker tells `window` (Messages.h):
//   - kMsgApplyFinished with kApplyDiscarded when no link is present or the mouse is asleep:
//     nothing was sent;
//   - otherwise kMsgApplyStarted, the reports and the commit, then kMsgApplyFinished with
//     kApplyDone and, in lParam, how many reports the mouse did not take.
// The worker never writes the settings file: the receiver of kMsgApplyFinished saves the live
// record, after discarded requests too, so an edit reaches the disk even while the mouse sleeps.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "device/FeatureTransport.h"
#include "device/LinkFlags.h"
#include "device/ReportSender.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

// How long a quitting program goes on sending what was asked before it: a full request for every
// profile takes about 9 s, and a user who quits expects the program gone soon after.
inline constexpr std::chrono::seconds kQuitSendLimit{15};

class ApplyWorker {
  public:
    // Starts the thread. Everything given here must outlive the worker; `window` is posted to
    // from the worker thread.
    ApplyWorker(FeatureTransport& transport, const LinkFlags& flags, Clock& clock,
                VeltrixWindowHandle window);

    // Finish(kQuitSendLimit) unless Finish came first, then joins the thread. Call it before the
    // driver libraries behind the transport are unloaded.
    ~ApplyWorker();

    ApplyWorker(const ApplyWorker&) = delete;
    ApplyWorker& operator=(const ApplyWorker&) = delete;

    // Queues the request (wParam, lParam) (the kApply* values of Messages.h) with a copy of the
    // record as it is now. Every report of the request is built from that copy, so the caller
    // may go on editing its record at once. Returns without waiting. Any thread may post, but
    // not once the destructor has begun.
    void Post(std::uintptr_t wParam, std::intptr_t lParam, const ProfileSettings& snapshot);

    // The end of the worker, without waiting for it: the requests queued so far are still sent,
    // until `limit` from now; what is left then is dropped (the report in flight completes).
    // Then the worker posts kMsgWorkerStopped to the window and its thread ends. Requests posted
    // after this are never sent. A later call may only bring the end closer: Finish(0) stops
    // after the report in flight.
    void Finish(std::chrono::nanoseconds limit);

  private:
    struct Request;

    void Run();
    void Serve(const Request& request);

    const LinkFlags& m_flags;
    Clock& m_clock;
    VeltrixWindowHandle m_window;
    ReportSender m_sender;  // with the macro slot table; used on the worker thread only
    MessageQueue m_queue;
    std::atomic<bool> m_bFinishing{false};
    std::thread m_thread;  // last, so it starts when everything it uses exists
};

}  // namespace veltrix
