#include "platform/TimerSchedule.h"

#include <algorithm>

namespace veltrix {
namespace {

// A zero period would make a due timer due again at once and spin its owner's loop.
constexpr std::chrono::nanoseconds kShortestPeriod = std::chrono::milliseconds(1);

}  // namespace

void TimerSchedule::Start(int id, std::chrono::milliseconds period) {
    Stop(id);
    const std::chrono::nanoseconds interval =
        std::max<std::chrono::nanoseconds>(period, kShortestPeriod);
    m_entries.push_back(Entry{id, interval, m_clock.Now() + interval, m_nextOrder++});
}

void TimerSchedule::Stop(int id) {
    std::erase_if(m_entries, [id](const Entry& entry) { return entry.id == id; });
}

bool TimerSchedule::IsRunning(int id) const {
    return std::ranges::any_of(m_entries, [id](const Entry& entry) { return entry.id == id; });
}

std::optional<std::chrono::nanoseconds> TimerSchedule::NextDue() const {
    if (m_entries.empty()) {
        return std::nullopt;
    }
    return std::ranges::min(m_entries, {}, &Entry::due).due;
}

std::optional<int> TimerSchedule::TakeDue() {
    const std::chrono::nanoseconds now = m_clock.Now();
    auto earliest = m_entries.end();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->due <= now && (earliest == m_entries.end() || it->due < earliest->due ||
                               (it->due == earliest->due && it->order < earliest->order))) {
            earliest = it;
        }
    }
    if (earliest == m_entries.end()) {
        return std::nullopt;
    }
    earliest->due = now + earliest->period;
    earliest->order = m_nextOrder++;
    return earliest->id;
}

}  // namespace veltrix
