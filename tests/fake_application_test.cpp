// The fake message loop is what every window test stands on, so its order is checked here:
// hook before dispatch, a handled message dropped, one idle step per emptied queue, the quit
// request taken only when nothing else is queued, and handler errors reported, not thrown.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/fakes/FakeApplication.h"

namespace swfsaver::fakes {
namespace {

struct RecordingHandler : platform::ApplicationHandler {
  std::vector<std::string> log;
  uint32_t swallow = 0;
  void OnMessage(const platform::Message& m, bool& handled) override {
    log.push_back("hook " + std::to_string(m.message));
    handled = m.message == swallow;
  }
  void OnIdle(bool&) override { log.push_back("idle"); }
  void OnException(const std::exception& e) override { log.push_back(std::string("error ") + e.what()); }
};

TEST(FakeApplicationLoop, HookSeesEachMessageBeforeDispatchAndIdleRunsOncePerEmptiedQueue) {
  FakeApplication app;
  RecordingHandler handler;
  handler.swallow = 2;
  app.SetHandler(&handler);
  auto window = app.AddWindow([&](const platform::Message& m) {
    handler.log.push_back("dispatch " + std::to_string(m.message));
  });
  app.Post({window, 1});
  app.Post({window, 2});
  EXPECT_TRUE(app.RunUntilIdle());
  app.Post({window, 3});
  app.Terminate();
  EXPECT_FALSE(app.RunUntilIdle());
  EXPECT_EQ(handler.log, (std::vector<std::string>{"hook 1", "dispatch 1", "hook 2", "idle",
                                                   "hook 3", "dispatch 3"}));
}

TEST(FakeApplicationLoop, SendBypassesTheHookAndErrorsGoToTheHandler) {
  FakeApplication app;
  RecordingHandler handler;
  app.SetHandler(&handler);
  auto window = app.AddWindow([](const platform::Message&) { throw std::runtime_error("boom"); });
  app.Send({window, 7});  // no hook: a sent message goes straight to the window
  EXPECT_EQ(handler.log, (std::vector<std::string>{"error boom"}));
  app.Post({window, 8});
  app.RunUntilIdle();
  EXPECT_EQ(handler.log, (std::vector<std::string>{"error boom", "hook 8", "error boom", "idle"}));
}

TEST(FakeApplicationLoop, RunFailsInsteadOfSleepingForever) {
  FakeApplication app;
  EXPECT_THROW(app.Run(), std::logic_error);
  int waits = 0;
  app.onWait = [&] { if (++waits == 2) app.Terminate(); else app.Post({0, 1}); };
  app.Run();
  EXPECT_EQ(waits, 2);
}

}  // namespace
}  // namespace swfsaver::fakes
