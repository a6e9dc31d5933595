// How long building the reports of the largest apply request takes: every profile, with a macro
// of 46 actions on each of the 24 buttons of each profile (120 macro reports, 141 in all). The
// mouse itself needs 0.4 s per report; building them must not add anything noticeable.

#include <memory>

#include <benchmark/benchmark.h>

#include "device/ReportSender.h"
#include "vocabulary/ButtonFunctions.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"

namespace veltrix {
namespace {

class DiscardingTransport final : public FeatureTransport {
  public:
    int SetFeature(DeviceLinkKind, std::span<const std::uint8_t> report) override {
        benchmark::DoNotOptimize(report.data());
        ++m_reports;
        return 1;
    }
    long m_reports = 0;
};

std::unique_ptr<ProfileSettings> LargestRecord() {
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    for (ProfileData& profile : settings->Profiles) {
        for (ButtonEntry& entry : profile.aButton) {
            entry.byFuncCode = kFuncMacro;
            entry.iMacroRepeatCount = 2;
            // 23 characters, some outside ASCII and one the code page cannot hold.
            SetFieldText(entry.szMacroName, u"Stra\u00DFe \u00E9t\u00E9 \u20AC\u65E5 combo 12");
            entry.wMacroActionCount = kMaxMacroActions;
            for (std::size_t m = 0; m < kMaxMacroActions; ++m) {
                entry.aMacroAction[m] =
                    MacroAction{static_cast<std::uint8_t>(4 + m),
                                m % 2 == 0 ? kDirectionPress : kDirectionRelease,
                                static_cast<std::uint16_t>(m % 4 == 0 ? 1200 : 35)};
            }
        }
    }
    return settings;
}

void BuildLargestRequest(benchmark::State& state) {
    const auto settings = LargestRecord();
    DiscardingTransport transport;
    LinkFlags flags;
    flags.m_iReceiverState = kLinkPresent;
    flags.m_bAsleep = 0;
    ReportSender sender(transport, flags, InstantClock());
    for (auto _ : state) {
        sender.SendRequest(*settings, kApplyProfiles, kApplyEveryProfile);
    }
    state.counters["reports"] = benchmark::Counter(static_cast<double>(transport.m_reports) /
                                                   static_cast<double>(state.iterations()));
}
BENCHMARK(BuildLargestRequest)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace veltrix

BENCHMARK_MAIN();
