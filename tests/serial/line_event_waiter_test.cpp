// The waiter on a pipe: the one descriptor whose writer can hang up while
// data is still waiting (a pseudo-terminal drops its input on hang-up).

#include "serial/line_event_waiter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {
namespace {

TEST(LineEventWaiter, DataThatCameWithAHangUpIsHandedOverBeforeTheFailure) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
  LineEventWaiter waiter;
  ASSERT_EQ(waiter.attach(fds[0]), 0);
  ASSERT_EQ(::write(fds[1], "\xFE\xFE\xE0\x5C\xFB\xFD", 6), 6);
  ::close(fds[1]);

  LineEventSet set;
  int err = 0;
  ASSERT_EQ(waiter.wait(set, err), LineEventWaiter::Result::events);
  EXPECT_TRUE(set.events & lineev::kRxChar);
  char buf[16];
  EXPECT_EQ(::read(fds[0], buf, sizeof buf), 6);

  ASSERT_EQ(waiter.wait(set, err), LineEventWaiter::Result::failed);
  EXPECT_EQ(err, EIO);

  // Gone: the next wait only waits to be released.
  waiter.wake();
  EXPECT_EQ(waiter.wait(set, err), LineEventWaiter::Result::released);
  waiter.detach();
  ::close(fds[0]);
}

TEST(LineEventWaiter, AHangUpWithoutDataFailsAtOnce) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
  LineEventWaiter waiter;
  ASSERT_EQ(waiter.attach(fds[0]), 0);
  ::close(fds[1]);
  LineEventSet set;
  int err = 0;
  EXPECT_EQ(waiter.wait(set, err), LineEventWaiter::Result::failed);
  EXPECT_EQ(err, EIO);
  waiter.detach();
  ::close(fds[0]);
}

}  // namespace
}  // namespace tarnwick
