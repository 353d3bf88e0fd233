#include "app/qt_main_thread.h"

#include <QCoreApplication>
#include <QThread>

namespace tarnwick::app {

QtMainThread::QtMainThread(QObject* parent) : QObject(parent) {}

void QtMainThread::post(std::function<void()> fn) {
  // Work that never runs (the object is gone) is destroyed with its event.
  QMetaObject::invokeMethod(
      this, [this, fn = std::move(fn)] { run(fn); }, Qt::QueuedConnection);
}

void QtMainThread::run(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    if (errorHandler_) errorHandler_(e);
  }
}

void QtMainThread::invokeBlocking(std::function<void()> fn) {
  if (QThread::currentThread() == thread()) {
    run(fn);
    return;
  }
  QMetaObject::invokeMethod(
      this, [this, fn = std::move(fn)] { run(fn); }, Qt::BlockingQueuedConnection);
}

void QtMainThread::processPendingEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int QtMainThread::startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) {
  const int id = nextTimer_++;
  auto* timer = new QTimer(this);
  timer->setSingleShot(true);
  // Precise: the engine's repeats are timed in milliseconds of line time.
  timer->setTimerType(Qt::PreciseTimer);
  connect(timer, &QTimer::timeout, this, [this, id, fn = std::move(fn)] {
    cancelSingleShot(id);
    run(fn);
  });
  timers_[id] = timer;
  timer->start(delay);
  return id;
}

void QtMainThread::cancelSingleShot(int id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();
  timers_.erase(it);
}

}  // namespace tarnwick::app
