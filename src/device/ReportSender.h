#pragma once

// Sends the reports of one apply request to the mouse, through the cable when it is attached and
// through the receiver otherwise, and ends every request with the commit report. An accepted
// report is followed by a 400 ms pause, which the firmware needs before the next one; a
// rejected report is neither retried nor waited for.
//
// Not thread-safe: one sender belongs to one thread (the apply worker, or a dry run), except for
// StopAt, which any thread may call.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <span>

#include "device/FeatureReports.h"
#include "device/FeatureTransport.h"
#include "device/LinkFlags.h"
#include "platform/Clock.h"

namespace veltrix {

inline constexpr std::chrono::milliseconds kReportPause{400};

class ReportSender {
  public:
    ReportSender(FeatureTransport& transport, const LinkFlags& flags, Clock& clock);

    // Sends what the request (wParam, lParam) asks for, built from `settings` alone, then the
    // commit report. Areas and their parameters are the kApply* values of Messages.h. Returns
    // how many of the reports the mouse did not take (0 when it took them all).
    int SendRequest(const ProfileSettings& settings, std::uintptr_t wParam, std::intptr_t lParam);

    // From `deadline` on (a time of the clock), nothing more is sent: each report after it counts
    // as not taken and costs no pause. The report in flight when it passes is completed. Of
    // several deadlines, the earliest holds.
    void StopAt(std::chrono::nanoseconds deadline);
    bool Stopped() const { return m_clock.Now().count() >= m_deadline; }

    // The slot numbers of the last macro upload.
    const MacroSlotTable& MacroSlots() const { return m_abyMacroSlot; }

  private:
    int SendFeature(std::span<const std::uint8_t> report);
    void SendProfileAreas(const ProfileSettings& settings, int profileIndex);
    // Sends the macro of every macro button of every profile, numbering the slots on across
    // profiles; the button reports that follow name these slots.
    void UploadMacros(const ProfileSettings& settings);
    void SendButtonReports(const ProfileSettings& settings);

    int m_iRejected = 0;  // in the request being sent
    FeatureTransport& m_transport;
    const LinkFlags& m_flags;
    Clock& m_clock;
    MacroSlotTable m_abyMacroSlot{};
    std::atomic<std::chrono::nanoseconds::rep> m_deadline{
        std::numeric_limits<std::chrono::nanoseconds::rep>::max()};
};

}  // namespace veltrix
