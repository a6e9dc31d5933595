#include <gtest/gtest.h>

#include "platform/TimerSchedule.h"
#include "support/ManualClock.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;

class TimerScheduleTest : public ::testing::Test {
  protected:
    test::ManualClock m_clock;
    TimerSchedule m_timers{m_clock};
};

TEST_F(TimerScheduleTest, ATimerFiresEveryPeriodAndOnceWhenOverdue) {
    m_timers.Start(1, 30ms);
    m_clock.Advance(29ms);
    EXPECT_EQ(m_timers.TakeDue(), std::nullopt);
    m_clock.Advance(1ms);
    EXPECT_EQ(m_timers.TakeDue(), 1);
    EXPECT_EQ(m_timers.NextDue(), 60ms);

    m_clock.Advance(1000ms);
    EXPECT_EQ(m_timers.TakeDue(), 1);
    EXPECT_EQ(m_timers.TakeDue(), std::nullopt) << "missed periods do not pile up";
    EXPECT_EQ(m_timers.NextDue(), 1060ms);

    m_clock.Advance(20ms);
    m_timers.Start(1, 30ms);  // starts over
    EXPECT_EQ(m_timers.NextDue(), 1080ms);
    m_timers.Stop(1);
    EXPECT_EQ(m_timers.NextDue(), std::nullopt);
}

TEST_F(TimerScheduleTest, DueTimersComeEarliestFirstAndAStoppedOneNotAtAll) {
    m_timers.Start(3, 20ms);
    m_timers.Start(2, 10ms);
    m_timers.Start(1, 20ms);
    m_timers.Start(4, 20ms);
    m_clock.Advance(25ms);
    EXPECT_EQ(m_timers.TakeDue(), 2);
    EXPECT_EQ(m_timers.TakeDue(), 3);
    m_timers.Stop(4);
    EXPECT_EQ(m_timers.TakeDue(), 1);
    EXPECT_EQ(m_timers.TakeDue(), std::nullopt);
}

}  // namespace
}  // namespace veltrix
