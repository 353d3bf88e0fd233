#include "serial/tserial.h"

#include <cerrno>
#include <chrono>
#include <span>
#include <stdexcept>
#include <thread>

namespace tarnwick {

TSerial::TSerial(MainThread& mainThread) : mainThread_(mainThread), thread_(mainThread, *this) {}

TSerial::~TSerial() {
  closePort();
}

void TSerial::setPort(int port) {
  if (port < kFirstPort || port > kLastPort) throw std::out_of_range("serial port number");
  writeLineProperty(port_, port);
}

void TSerial::setBaudrate(std::int32_t rate) {
  if (!isValidBaudrate(rate)) {
    // Shown whatever NotifyErrors says: it is a mistake of the caller.
    if (dialog_) dialog_->showError(kBaudrateNotValid);
    return;
  }
  writeLineProperty(settings_.baudrate, rate);
}

void TSerial::setParity(eParity parity) {
  writeLineProperty(settings_.parity, parity);
}
void TSerial::setDataBits(eDataBits bits) {
  writeLineProperty(settings_.dataBits, bits);
}
void TSerial::setStopBits(eStopBits bits) {
  writeLineProperty(settings_.stopBits, bits);
}
void TSerial::setFlowMode(eFlowControl mode) {
  writeLineProperty(settings_.flowMode, mode);
}
void TSerial::setCheckParity(bool check) {
  writeLineProperty(settings_.checkParity, check);
}
void TSerial::setTimeout(std::uint32_t ms) {
  writeLineProperty(timeout_, ms);
}

void TSerial::setRxQueueSize(std::uint16_t size) {
  rxQueueSize_ = size;
  reapply();
}

void TSerial::setTxQueueSize(std::uint16_t size) {
  txQueueSize_ = size;
  reapply();
}

void TSerial::setDeviceForPort(int port, std::string path) {
  if (path.empty()) {
    portDevices_.erase(port);
  } else {
    portDevices_[port] = std::move(path);
  }
}

void TSerial::setDevice(std::string path) {
  writeLineProperty(fixedDevice_, std::move(path));
}

std::string TSerial::DevicePath() const {
  if (!fixedDevice_.empty()) return fixedDevice_;
  if (auto it = portDevices_.find(port_); it != portDevices_.end()) return it->second;
  return "/dev/ttyS" + std::to_string(port_ - 1);
}

void TSerial::setActive(bool active) {
  closePort();
  if (active) openPort();
}

void TSerial::reapply() {
  if (!active_) return;
  closePort();
  openPort();
}

void TSerial::openPort() {
  line_.open(DevicePath(), lockDirectory_);
  deviceGone_ = false;
  ++openings_;
  // The driver's queues have a fixed size; the configured sizes bound what
  // SendString accepts.
  active_ = true;
  if (int err = line_.configure(settings_)) checkError(err);
  line_.setDtr(true);
  line_.setRts(true);
  if (int err = thread_.waiter().attach(line_.fd())) checkError(err);
  thread_.portOpened();
}

void TSerial::closePort() {
  if (!active_) return;
  closing_ = true;
  if (int err = line_.purge()) checkError(err);
  line_.setDtr(false);
  line_.setRts(false);
  active_ = false;
  thread_.releaseWait();
  if (int err = line_.close()) checkError(err);
  closing_ = false;
  thread_.waitUntilOutOfWait();
}

void TSerial::SendString(std::string_view data) {
  if (!active_) {
    reportError(kErrPortNotActive);
    return;
  }
  if (waitOnTxFull_ && data.size() > txQueueSize_) {
    reportError(kErrStringTooLong);
    return;
  }
  const auto timeout = std::chrono::milliseconds(timeout_);
  if (waitOnTxFull_) {
    // Wait for room, keeping the program responsive. Bounded by Timeout: a
    // line that flow control holds forever must not hold the caller forever.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int queued = 0;
      if (int err = line_.outputQueue(queued)) {
        checkError(err);
        return;
      }
      if (static_cast<int>(txQueueSize_) - queued >= static_cast<int>(data.size())) break;
      if (std::chrono::steady_clock::now() >= deadline) {
        checkError(ETIMEDOUT);
        return;
      }
      mainThread_.processPendingEvents();
      if (!active_) {  // a handler closed the port meanwhile
        reportError(kErrPortNotActive);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  if (int err = line_.write(bytes, timeout)) {
    checkError(err);
    return;
  }
  // Watching the output drain costs the receive thread a wake-up and the
  // main thread a hand-over per write, right when the radio starts to
  // answer: only a listener pays for it.
  if (OnTxEmpty) thread_.waiter().noteWrite();
}

int TSerial::ReadByte(std::uint8_t& b) {
  if (!active_) {
    reportError(kErrPortNotActive);
    return 0;
  }
  int err = 0;
  const int n = line_.readByte(b, err);
  if (n < 0) {
    checkError(err);
    return 0;
  }
  return n;
}

void TSerial::SetOutputSignal(int signal, bool state) {
  if (!active_) {
    reportError(kErrPortNotActive);
    return;
  }
  if (signal == kSignalRTS) line_.setRts(state);
  if (signal == kSignalDTR) line_.setDtr(state);
}

int TSerial::RxWaiting() {
  if (!active_) return 0;
  int count = 0;
  if (int err = line_.inputQueue(count)) checkError(err);
  return count;
}

int TSerial::TxWaiting() {
  if (!active_) return 0;
  int count = 0;
  if (int err = line_.outputQueue(count)) checkError(err);
  return count;
}

void TSerial::lineEvent(std::uint32_t event, std::uint32_t modemStatus) {
  if (!active_) return;
  switch (event) {
    case lineev::kCts:
      signalChanged(msCTS, modemStatus & modemst::kCtsOn);
      break;
    case lineev::kDsr:
      signalChanged(msDSR, modemStatus & modemst::kDsrOn);
      break;
    case lineev::kRlsd:
      signalChanged(msRLSD, modemStatus & modemst::kRlsdOn);
      break;
    case lineev::kTxEmpty:
      if (OnTxEmpty) OnTxEmpty(*this);
      break;
    case lineev::kBreak:
      if (OnBreak) OnBreak(*this);
      break;
    case lineev::kRing:
      if (OnRing) OnRing(*this);
      break;
    case lineev::kRxChar:
      if (rxEventMode_ == rxNormal) {
        if (OnRxData) OnRxData(*this);
      } else if (OnMessage) {
        assembleMessages();
      }
      // In message mode without a handler the bytes stay queued.
      break;
    default:
      break;
  }
}

void TSerial::signalChanged(eModemInSignal signal, bool state) {
  signalStates_[signal] = state;
  if (OnSignalChange) OnSignalChange(*this, signal, state);
}

void TSerial::assembleMessages() {
  std::uint8_t b;
  // A handler may close the port or clear OnMessage; stop reading then.
  while (active_ && OnMessage && ReadByte(b) > 0) {
    if (assembler_.feed(b, messageStart_, messageEnd_, messageAppend_)) {
      OnMessage(*this, assembler_.message());
    }
  }
}

void TSerial::waitFailed(int err) {
  if (active_) checkError(err);
}

void TSerial::checkError(int err) {
  errorCode_ = err;
  if (err == EAGAIN || err == EWOULDBLOCK || err == EINPROGRESS) return;
  // A device that went away fails every call until the port is closed; one
  // report of that is enough, whoever notices first.
  if (err == EIO || err == ENXIO || err == ENODEV) {
    if (deviceGone_) return;
    deviceGone_ = true;
    // While closing there is no later to post to: the error is told now.
    if (OnLost && !closing_) return reportLost(err);
  }
  reportError(err);
}

void TSerial::reportLost(int err) {
  // Posted: the caller may be in the middle of a read or a write, and the
  // handler closes the port.
  mainThread_.post([this, err, opening = openings_, alive = std::weak_ptr<char>(alive_)] {
    if (alive.expired() || !active_ || opening != openings_ || !OnLost) return;
    OnLost(*this, err);
  });
}

void TSerial::reportError(int code) {
  switch (notifyErrors_) {
    case neDialog:
      if (dialog_) dialog_->showError(serialErrorText(code));
      break;
    case neEvent:
      if (OnError) {
        errorCode_ = code;
        OnError(*this);
      }
      break;
    case neNone:
      break;
  }
}

}  // namespace tarnwick
