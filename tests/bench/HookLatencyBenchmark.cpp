// How long a key takes from the X server to the window: a key injected with XTest into a
// private Xvfb, until its hook message is taken from the queue that stands in for the window.
// The figure to watch is median_us, over 1,000 presses.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/HookPluginLink.h"
#include "platform/MessageQueue.h"
#include "support/FakeInput.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

namespace veltrix {
namespace {

constexpr unsigned kKeyA = 38;

void HookKeyLatency(benchmark::State& state) {
    test::XvfbServer server;
    if (!server.IsRunning()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    test::ScopedEnv display("DISPLAY", server.Name().c_str());
    test::FakeInput input(server.Name());
    MessageQueue queue;
    HookPluginLink hooks;
    if (!hooks.Bind(std::vector<std::filesystem::path>{PLUGIN_DIR})) {
        state.SkipWithError("Hook.so did not load");
        return;
    }
    hooks.installhook(queue.Handle());

    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        input.Key(kKeyA, true);
        const auto press = queue.WaitFor(std::chrono::seconds(5));
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!press) {
            state.SkipWithError("no hook message");
            break;
        }
        state.SetIterationTime(elapsed.count());
        micros.push_back(elapsed.count() * 1e6);
        input.Key(kKeyA, false);
        queue.WaitFor(std::chrono::seconds(5));
    }
    if (!micros.empty()) {
        std::sort(micros.begin(), micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
}
BENCHMARK(HookKeyLatency)->Iterations(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace veltrix

BENCHMARK_MAIN();
