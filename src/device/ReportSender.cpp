#include "device/ReportSender.h"

#include "platform/Messages.h"
#include "profile/RecordAccess.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {

ReportSender::ReportSender(FeatureTransport& transport, const LinkFlags& flags, Clock& clock)
    : m_transport(transport), m_flags(flags), m_clock(clock) {}

void ReportSender::StopAt(std::chrono::nanoseconds deadline) {
    auto current = m_deadline.load();
    while (deadline.count() < current &&
           !m_deadline.compare_exchange_weak(current, deadline.count())) {
    }
}

int ReportSender::SendFeature(std::span<const std::uint8_t> report) {
    if (Stopped()) {
        ++m_iRejected;
        return 0;
    }
    // Read for every report: the cable may come or go in the middle of a request.
    const DeviceLinkKind link = m_flags.m_iCableState.load() == kLinkPresent
                                    ? DeviceLinkKind::Cable
                                    : DeviceLinkKind::Receiver;
    const int accepted = m_transport.SetFeature(link, report);
    if (accepted != 0) {
        m_clock.SleepFor(kReportPause);
    } else {
        ++m_iRejected;
    }
    return accepted;
}

void ReportSender::SendProfileAreas(const ProfileSettings& settings, int profileIndex) {
    SendFeature(DpiReport(settings, profileIndex));
    SendFeature(LightReport(settings, profileIndex));
    SendFeature(RateReport(settings, profileIndex));
}

void ReportSender::UploadMacros(const ProfileSettings& settings) {
    m_abyMacroSlot = {};
    std::uint8_t slot = 0;
    for (std::size_t p = 0; p < kProfileCount; ++p) {
        for (std::size_t i = 0; i < kButtonEntryCount; ++i) {
            const ButtonEntry& entry = settings.Profiles[p].aButton[i];
            if (entry.byFuncCode == kFuncMacro) {
                m_abyMacroSlot[p][i] = ++slot;
                SendFeature(MacroReport(entry, slot));
            }
        }
    }
}

void ReportSender::SendButtonReports(const ProfileSettings& settings) {
    for (int p = 0; p < kProfileCount; ++p) {
        SendFeature(ButtonReport(settings, p, m_abyMacroSlot));
    }
}

int ReportSender::SendRequest(const ProfileSettings& settings, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    m_iRejected = 0;
    // A profile index outside 0 to 4 from the page that asked means the nearest profile.
    const int profileIndex = InRange(lParam, 0, kProfileCount - 1);
    switch (wParam) {
        case kApplyProfiles:
            if (lParam == kApplyEveryProfile) {
                for (int p = 0; p < kProfileCount; ++p) {
                    SendProfileAreas(settings, p);
                }
            } else if (lParam == kApplyCurrentProfile) {
                SendProfileAreas(settings, CurrentProfileIndex(settings));
            } else {
                break;
            }
            UploadMacros(settings);
            SendButtonReports(settings);
            break;
        case kApplyButtons:
            UploadMacros(settings);
            SendButtonReports(settings);
            break;
        case kApplyDpi:
            SendFeature(DpiReport(settings, profileIndex));
            break;
        case kApplyLight:
            SendFeature(LightReport(settings, profileIndex));
            break;
        case kApplyRate:
            SendFeature(RateReport(settings, profileIndex));
            break;
        default:
            break;
    }
    // The profile current in the request's own copy of the record: a later switch of profile
    // posts a request of its own, so the mouse always ends on the latest one.
    SendFeature(CommitReport(settings));
    return m_iRejected;
}

}  // namespace veltrix
