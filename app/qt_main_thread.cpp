#include "app/qt_main_thread.h"

#include <QCoreApplication>
#include <QThread>

namespace tarnwick::app {

QtMainThread::QtMainThread(QObject* parent) : QObject(parent) {}

void QtMainThread::post(std::function<void()> fn) {
  // Work that never runs (the object is gone) is destroyed with its event.
  QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void QtMainThread::invokeBlocking(std::function<void()> fn) {
  if (QThread::currentThread() == thread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(this, std::move(fn), Qt::BlockingQueuedConnection);
}

void QtMainThread::processPendingEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace tarnwick::app
