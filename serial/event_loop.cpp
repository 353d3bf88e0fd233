#include "serial/event_loop.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace tarnwick {

namespace {

// Completion of one blocking call. It is signalled when the last copy of the
// queued closure goes away: after the call ran, or when the queue is dropped
// without running it, so that a waiting thread never stays stuck.
struct CallState {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
};

struct CallCompletion {
  explicit CallCompletion(std::shared_ptr<CallState> s) : state(std::move(s)) {}
  ~CallCompletion() {
    {
      std::lock_guard lock(state->mutex);
      state->finished = true;
    }
    state->done.notify_all();
  }
  std::shared_ptr<CallState> state;
};

}  // namespace

EventLoop::EventLoop() : owner_(std::this_thread::get_id()) {}

EventLoop::~EventLoop() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(queue_);
  }
  // Destroying the closures outside the lock releases the waiting callers.
}

void EventLoop::post(std::function<void()> fn) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
  }
  wake_.notify_all();
}

void EventLoop::invokeBlocking(std::function<void()> fn) {
  if (onLoopThread()) {
    fn();
    return;
  }
  auto state = std::make_shared<CallState>();
  {
    auto completion = std::make_shared<CallCompletion>(state);
    post([completion, fn = std::move(fn)] { fn(); });
  }
  std::unique_lock lock(state->mutex);
  state->done.wait(lock, [&] { return state->finished; });
}

void EventLoop::processPendingEvents() {
  runPending();
}

EventLoop::TimerId EventLoop::addTimer(std::chrono::milliseconds interval, std::function<void()> fn,
                                       bool repeat) {
  const TimerId id = nextTimer_++;
  timers_[id] = Timer{interval, Clock::now() + interval, std::move(fn), repeat, false};
  return id;
}

void EventLoop::removeTimer(TimerId id) {
  timers_.erase(id);
}

int EventLoop::startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) {
  return addTimer(delay, std::move(fn), /*repeat=*/false);
}

void EventLoop::cancelSingleShot(int id) {
  removeTimer(id);
}

bool EventLoop::runDueTimers() {
  const auto now = Clock::now();
  std::vector<TimerId> due;
  for (const auto& [id, timer] : timers_) {
    if (timer.due <= now && !timer.running) due.push_back(id);
  }
  for (TimerId id : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;  // removed by an earlier callback
    it->second.running = true;
    if (it->second.repeat) {
      // Late ticks are not made up for in a burst: when one is missed, the
      // next comes one interval from now.
      Timer& t = it->second;
      t.due += t.interval;
      if (t.due <= now) t.due = now + t.interval;
    }
    auto fn = it->second.fn;  // the callback may remove its own timer
    struct Done {
      EventLoop& loop;
      TimerId id;
      ~Done() {
        auto t = loop.timers_.find(id);
        if (t == loop.timers_.end()) return;
        if (t->second.repeat) {
          t->second.running = false;
        } else {
          loop.timers_.erase(t);
        }
      }
    } done{*this, id};
    fn();
  }
  return !due.empty();
}

bool EventLoop::runPending() {
  bool ran = false;
  // Only the work present now: work posted meanwhile waits for the next pass,
  // so that a handler posting to itself cannot starve the timers.
  std::size_t count;
  {
    std::lock_guard lock(mutex_);
    count = queue_.size();
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::function<void()> fn;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      fn = std::move(queue_.front());
      queue_.pop_front();
    }
    fn();
    ran = true;
  }
  if (runDueTimers()) ran = true;
  return ran;
}

void EventLoop::waitForWork(Clock::time_point limit, bool untilQuit) {
  for (const auto& [id, timer] : timers_) {
    if (!timer.running && timer.due < limit) limit = timer.due;
  }
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, limit, [&] { return !queue_.empty() || (untilQuit && quit_); });
}

void EventLoop::run() {
  {
    std::lock_guard lock(mutex_);
    quit_ = false;
  }
  for (;;) {
    runPending();
    {
      std::lock_guard lock(mutex_);
      if (quit_) {
        quit_ = false;
        return;
      }
    }
    waitForWork(Clock::now() + std::chrono::hours(1), true);
  }
}

void EventLoop::runFor(std::chrono::milliseconds duration) {
  const auto limit = Clock::now() + duration;
  while (Clock::now() < limit) {
    runPending();
    waitForWork(limit, false);
  }
}

bool EventLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto limit = Clock::now() + timeout;
  for (;;) {
    runPending();
    if (done()) return true;
    const auto now = Clock::now();
    if (now >= limit) return false;
    // done() may depend on other threads, which need not post anything: look
    // again every few milliseconds.
    waitForWork(std::min(limit, now + std::chrono::milliseconds(5)), false);
  }
}

void EventLoop::quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

}  // namespace tarnwick
