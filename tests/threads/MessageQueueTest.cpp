#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/MessageQueue.h"
#include "platform/Messages.h"

namespace veltrix {
namespace {

TEST(MessageQueue, KeepsEachPostersOrderAcrossThreads) {
    MessageQueue queue;
    const VeltrixWindowHandle handle = queue.Handle();
    constexpr int kPerThread = 500;
    std::vector<std::thread> posters;
    for (std::uint32_t id = 1; id <= 3; ++id) {
        posters.emplace_back([&handle, id] {
            for (int i = 0; i < kPerThread; ++i) {
                VeltrixPost(&handle, id, static_cast<std::uintptr_t>(i), -i);
            }
        });
    }
    std::vector<int> next(4, 0);
    for (int n = 0; n < 3 * kPerThread; ++n) {
        const Message message = queue.Wait();
        ASSERT_EQ(message.wParam, static_cast<std::uintptr_t>(next[message.id]));
        ASSERT_EQ(message.lParam, -next[message.id]);
        ++next[message.id];
    }
    for (std::thread& poster : posters) {
        poster.join();
    }
    EXPECT_EQ(queue.TryTake(), std::nullopt);
}

TEST(MessageQueue, WaitForGivesUpAndANullHandleDropsMessages) {
    MessageQueue queue;
    EXPECT_EQ(queue.WaitFor(std::chrono::milliseconds(1)), std::nullopt);
    VeltrixPost(nullptr, 1, 2, 3);
    const VeltrixWindowHandle empty{};
    VeltrixPost(&empty, 1, 2, 3);
    queue.Post({kMsgWorkerApply, 2, 4});
    EXPECT_EQ(queue.WaitFor(std::chrono::milliseconds(1)), (Message{kMsgWorkerApply, 2, 4}));
}

}  // namespace
}  // namespace veltrix
