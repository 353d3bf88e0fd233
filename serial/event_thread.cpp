#include "serial/event_thread.h"

namespace tarnwick {

// One call queued on the main thread. It outlives the thread object when the
// main thread runs it late, and then does nothing.
struct TEventThread::HandOver {
  std::mutex mutex;
  std::condition_variable finished;
  bool running = false;
  bool done = false;
  bool dropped = false;

  // Only a call that has not begun can be dropped.
  void drop() {
    {
      std::lock_guard lock(mutex);
      if (!running && !done) dropped = true;
    }
    finished.notify_all();
  }
};

TEventThread::TEventThread(MainThread& mainThread, LineEventSink& sink)
    : mainThread_(mainThread), sink_(sink) {}

TEventThread::~TEventThread() {
  {
    std::lock_guard lock(mutex_);
    terminate_ = true;
    open_ = false;
    if (current_) current_->drop();
  }
  changed_.notify_all();
  waiter_.wake();
  if (thread_.joinable()) thread_.join();
}

void TEventThread::portOpened() {
  {
    std::lock_guard lock(mutex_);
    open_ = true;
  }
  changed_.notify_all();
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
}

void TEventThread::releaseWait() {
  {
    std::lock_guard lock(mutex_);
    open_ = false;
    if (current_) current_->drop();
  }
  waiter_.detach();
}

void TEventThread::waitUntilOutOfWait() {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, kCloseWaitLimit, [&] { return !inWait_ || current_ != nullptr; });
}

void TEventThread::run() {
  std::unique_lock lock(mutex_);
  while (!terminate_) {
    if (!open_) {
      inWait_ = false;
      changed_.notify_all();
      changed_.wait_for(lock, kIdlePause, [&] { return terminate_ || open_; });
      continue;
    }
    inWait_ = true;
    lock.unlock();
    LineEventSet set;
    int err = 0;
    switch (waiter_.wait(set, err)) {
      case LineEventWaiter::Result::events:
        handleEvents(set);
        break;
      case LineEventWaiter::Result::failed:
        handOver(set.attachment, [this, err] { sink_.waitFailed(err); });
        break;
      case LineEventWaiter::Result::released:
        break;
    }
    lock.lock();
  }
  inWait_ = false;
  changed_.notify_all();
}

void TEventThread::handleEvents(const LineEventSet& set) {
  static constexpr std::uint32_t kOrder[] = {lineev::kCts,     lineev::kDsr,   lineev::kRlsd,
                                             lineev::kTxEmpty, lineev::kBreak, lineev::kRing,
                                             lineev::kRxChar};
  for (std::uint32_t event : kOrder) {
    if (!(set.events & event)) continue;
    const std::uint32_t status = set.modemStatus;
    if (!handOver(set.attachment, [this, event, status] { sink_.lineEvent(event, status); })) {
      return;
    }
  }
}

bool TEventThread::handOver(std::uint64_t attachment, std::function<void()> fn) {
  auto call = std::make_shared<HandOver>();
  {
    std::lock_guard lock(mutex_);
    if (terminate_ || !open_ || waiter_.attachment() != attachment) return false;
    current_ = call;
  }
  changed_.notify_all();
  // If the main thread discards the call without running it, the ticket
  // going away releases this thread all the same.
  struct Ticket {
    std::shared_ptr<HandOver> call;
    ~Ticket() { call->drop(); }
  };
  std::shared_ptr<Ticket> ticket(new Ticket{call});
  mainThread_.post([ticket, fn = std::move(fn)] {
    HandOver& c = *ticket->call;
    {
      std::lock_guard lock(c.mutex);
      if (c.dropped) return;
      c.running = true;
    }
    // Marks the call done even when the handler throws.
    struct Done {
      HandOver& call;
      ~Done() {
        {
          std::lock_guard lock(call.mutex);
          call.done = true;
        }
        call.finished.notify_all();
      }
    } done{c};
    fn();
  });
  ticket.reset();
  bool ran;
  {
    std::unique_lock lock(call->mutex);
    call->finished.wait(lock, [&] { return call->done || call->dropped; });
    ran = call->done;
  }
  {
    std::lock_guard lock(mutex_);
    current_.reset();
  }
  changed_.notify_all();
  return ran;
}

}  // namespace tarnwick
