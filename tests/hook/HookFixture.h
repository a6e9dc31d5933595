#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/HookPluginLink.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "support/FakeInput.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

namespace veltrix::test {

// Every call, twice and in orders no caller uses, the key hook's install only with `installKeys`
// (a stand-in plugin posts from it); none may crash or post.
inline void CallEverything(HookPluginLink& hooks, MessageQueue& queue, bool installKeys = true) {
    for (int round = 0; round < 2; ++round) {
        hooks.removehook();
        hooks.removemousehook();
        hooks.enablehook(1);
        hooks.enablemousehook(round);
        hooks.mousewheelenable(1);
        for (int twice = 0; installKeys && twice < 2; ++twice) {
            hooks.installhook(queue.Handle());
        }
        hooks.installmousehook(queue.Handle());
    }
    hooks.removemousehook();
    hooks.removehook();
}

// One private X server for all tests of a program; each test gets DISPLAY pointing at it, the
// real Hook.so bound, a queue in place of the window and real input. The server is back on the
// US layout after each test.
class HookFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { s_server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override {
        ASSERT_TRUE(s_server->IsRunning()) << s_server->ErrorOutput();
        m_display.emplace("DISPLAY", s_server->Name().c_str());
        m_input.emplace(s_server->Name());
        ASSERT_TRUE(m_input->IsOpen());
        ASSERT_TRUE(m_hooks.Bind(std::vector<std::filesystem::path>{PLUGIN_DIR}))
            << m_hooks.Error();
    }

    void TearDown() override {
        m_hooks.Unbind();
        s_server->SetLayout("us");
    }

    static Message Hook(std::uintptr_t code, std::intptr_t flag) {
        return {kMsgHookEvent, code, flag};
    }

    // The next `count` messages, each awaited for a few seconds at most.
    std::vector<Message> Next(std::size_t count = 1) {
        std::vector<Message> messages;
        while (messages.size() < count) {
            const auto message = m_queue.WaitFor(std::chrono::seconds(5));
            if (!message) {
                ADD_FAILURE() << "only " << messages.size() << " of " << count << " messages came";
                break;
            }
            messages.push_back(*message);
        }
        return messages;
    }

    static inline std::unique_ptr<XvfbServer> s_server;
    std::optional<ScopedEnv> m_display;
    std::optional<FakeInput> m_input;
    MessageQueue m_queue;
    HookPluginLink m_hooks;  // after the queue: the hooks go before the queue they post to
};

}  // namespace veltrix::test
