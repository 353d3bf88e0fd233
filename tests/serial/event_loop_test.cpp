#include "serial/event_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

TEST(EventLoop, BlockingCallRunsOnTheLoopThreadAndWaitsForIt) {
  EventLoop loop;
  std::thread::id ranOn;
  int value = 0;
  std::atomic<bool> returned = false;
  std::thread caller([&] {
    loop.invokeBlocking([&] {
      ranOn = std::this_thread::get_id();
      value = 42;
    });
    // Visible here without further synchronisation: the call has finished.
    EXPECT_EQ(value, 42);
    returned = true;
  });
  EXPECT_TRUE(loop.runUntil([&] { return returned.load(); }, 2000ms));
  caller.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  // On the loop thread itself the call runs at once.
  bool direct = false;
  loop.invokeBlocking([&] { direct = true; });
  EXPECT_TRUE(direct);
}

// Tells when a call has been queued.
class SignallingLoop : public EventLoop {
 public:
  void post(std::function<void()> fn) override {
    EventLoop::post(std::move(fn));
    posted = true;
  }
  std::atomic<bool> posted = false;
};

TEST(EventLoop, DestroyingTheLoopReleasesABlockedCaller) {
  auto loop = std::make_unique<SignallingLoop>();
  SignallingLoop* raw = loop.get();
  std::atomic<bool> ran = false, returned = false;
  std::thread caller([&] {
    raw->invokeBlocking([&] { ran = true; });
    returned = true;
  });
  while (!raw->posted) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned);
  loop.reset();
  caller.join();
  EXPECT_TRUE(returned);
  EXPECT_FALSE(ran);
}

TEST(EventLoop, TimersTickWithoutBurstsAndAreNotReentered) {
  EventLoop loop;
  int ticks = 0, once = 0;
  loop.addTimer(20ms, [&] { ++ticks; });
  loop.addTimer(
      10ms, [&] { ++once; }, false);
  auto start = std::chrono::steady_clock::now();
  loop.runFor(200ms);
  const auto expected = (std::chrono::steady_clock::now() - start) / 20ms;
  EXPECT_GE(ticks, expected - 3);
  EXPECT_LE(ticks, expected + 1);
  EXPECT_EQ(once, 1);

  // A main thread held up for five intervals gets one late tick, not five.
  loop.post([] { std::this_thread::sleep_for(100ms); });
  ticks = 0;
  loop.runFor(110ms);
  EXPECT_LE(ticks, 2);

  // A callback that processes pending events (as a wait for a full transmit
  // queue does) must not find itself called again inside.
  int depth = 0, nested = 0, slow = 0;
  loop.addTimer(15ms, [&] {
    ++slow;
    if (++depth > 1) ++nested;
    const auto until = std::chrono::steady_clock::now() + 40ms;
    while (std::chrono::steady_clock::now() < until) loop.processPendingEvents();
    --depth;
  });
  loop.runFor(150ms);
  EXPECT_GE(slow, 2);
  EXPECT_EQ(nested, 0);
}

TEST(EventLoop, SingleShotsFireOnceUnlessCancelled) {
  EventLoop loop;
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  Clock::duration firedAfter{};
  int fired = 0, cancelled = 0;
  loop.startSingleShot(15ms, [&] {
    ++fired;
    firedAfter = Clock::now() - start;
  });
  const int doomed = loop.startSingleShot(5ms, [&] { ++cancelled; });
  loop.cancelSingleShot(doomed);
  loop.cancelSingleShot(doomed);  // twice, and ids never given out, change nothing
  loop.cancelSingleShot(12345);
  loop.runFor(60ms);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(cancelled, 0);
  EXPECT_GE(firedAfter, 15ms);
  EXPECT_LT(firedAfter, 50ms);

  // Cancelling from inside its own call, or after it ran, is harmless.
  int self = 0;
  int id = 0;
  id = loop.startSingleShot(1ms, [&] {
    ++self;
    loop.cancelSingleShot(id);
  });
  loop.runFor(20ms);
  loop.cancelSingleShot(id);
  EXPECT_EQ(self, 1);
}

TEST(EventLoop, QuitEndsRunFromAnotherThread) {
  EventLoop loop;
  int posted = 0;
  loop.post([&] { ++posted; });
  std::thread other([&] {
    std::this_thread::sleep_for(30ms);
    loop.quit();
  });
  const auto start = std::chrono::steady_clock::now();
  loop.run();
  other.join();
  EXPECT_EQ(posted, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

}  // namespace
}  // namespace tarnwick
