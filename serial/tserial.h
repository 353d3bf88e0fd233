#pragma once
// The serial port component: one device, its line settings, DTR and RTS held
// high while open, a receive thread that announces line events on the main
// thread, a one-byte read and a string write. Every call belongs on the main
// thread; the MainThread given to it must outlive it.
//
//   TSerial port(loop);
//   port.OnRxData = [](TSerial& s) { std::uint8_t b; while (s.ReadByte(b) == 1) use(b); };
//   port.setDevice("/dev/ttyUSB0");   // or setPort(n), /dev/ttyS<n-1> unless assigned
//   port.setBaudrate(19200);
//   port.setActive(true);             // throws SerialOpenError
//   port.SendString("\xFE\xFE...");

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "serial/event_thread.h"
#include "serial/main_thread.h"
#include "serial/message_assembler.h"
#include "serial/posix_port.h"
#include "serial/serial_errors.h"
#include "serial/serial_types.h"

namespace tarnwick {

class TSerial : private LineEventSink {
 public:
  explicit TSerial(MainThread& mainThread);
  ~TSerial() override;
  TSerial(const TSerial&) = delete;
  TSerial& operator=(const TSerial&) = delete;

  // Line properties. Writing a different value (the queue sizes: any value)
  // stores it and, on an open port, closes and reopens the port with it; the
  // reopen throws SerialOpenError like setActive(true).
  int Port() const { return port_; }
  void setPort(int port);  // 1 to 9, else std::out_of_range
  std::int32_t Baudrate() const { return settings_.baudrate; }
  // A rate outside kValidBaudrates shows "Baudrate is not valid" and changes nothing.
  void setBaudrate(std::int32_t rate);
  eParity Parity() const { return settings_.parity; }
  void setParity(eParity parity);
  eDataBits DataBits() const { return settings_.dataBits; }
  void setDataBits(eDataBits bits);
  eStopBits StopBits() const { return settings_.stopBits; }
  void setStopBits(eStopBits bits);
  eFlowControl FlowMode() const { return settings_.flowMode; }
  void setFlowMode(eFlowControl mode);
  bool CheckParity() const { return settings_.checkParity; }
  void setCheckParity(bool check);
  std::uint16_t RxQueueSize() const { return rxQueueSize_; }
  void setRxQueueSize(std::uint16_t size);
  std::uint16_t TxQueueSize() const { return txQueueSize_; }
  void setTxQueueSize(std::uint16_t size);
  // Milliseconds a write may wait for the line.
  std::uint32_t Timeout() const { return timeout_; }
  void setTimeout(std::uint32_t ms);

  // Stored only.
  eOpModes RxEventMode() const { return rxEventMode_; }
  void setRxEventMode(eOpModes mode) { rxEventMode_ = mode; }
  std::uint8_t MessageStartChar() const { return messageStart_; }
  void setMessageStartChar(std::uint8_t c) { messageStart_ = c; }
  std::uint8_t MessageEndChar() const { return messageEnd_; }
  void setMessageEndChar(std::uint8_t c) { messageEnd_ = c; }
  std::uint16_t MessageAppendCount() const { return messageAppend_; }
  void setMessageAppendCount(std::uint16_t n) { messageAppend_ = n; }
  eNotifyErr NotifyErrors() const { return notifyErrors_; }
  void setNotifyErrors(eNotifyErr how) { notifyErrors_ = how; }
  bool WaitOnTxFull() const { return waitOnTxFull_; }
  void setWaitOnTxFull(bool wait) { waitOnTxFull_ = wait; }

  // Which device a port number stands for; applies at the next open.
  void setDeviceForPort(int port, std::string path);
  void setPortDevices(std::map<int, std::string> devices) { portDevices_ = std::move(devices); }
  // A device used whatever Port says (empty: back to Port). Written like a
  // line property.
  void setDevice(std::string path);
  std::string DevicePath() const;
  // Where lock files go; a directory that cannot be written is skipped.
  void setLockDirectory(std::string dir) { lockDirectory_ = std::move(dir); }
  // Receives the error boxes; without one they are not shown.
  void setErrorDialog(SerialErrorDialog* dialog) { dialog_ = dialog; }

  bool Active() const { return active_; }
  // true: (re)opens the port, throwing SerialOpenError when the device is
  // absent or held; false: closes it.
  void setActive(bool active);

  void SendString(std::string_view data);
  // 1 with b set, or 0 when nothing is waiting (or on error).
  int ReadByte(std::uint8_t& b);
  // Signal 0 is RTS, 1 is DTR; other numbers do nothing.
  void SetOutputSignal(int signal, bool state);
  int RxWaiting();
  int TxWaiting();
  int ErrorCode() const { return errorCode_; }
  // The state of CTS, DSR or carrier as last reported by OnSignalChange.
  bool SignalState(eModemInSignal signal) const { return signalStates_[signal]; }

  TEventThread& eventThread() { return thread_; }

  // Events, called on the main thread when assigned.
  std::function<void(TSerial&)> OnRxData;
  std::function<void(TSerial&)> OnTxEmpty;
  std::function<void(TSerial&, const std::string&)> OnMessage;
  std::function<void(TSerial&)> OnError;
  std::function<void(TSerial&)> OnBreak;
  std::function<void(TSerial&)> OnRing;
  std::function<void(TSerial&, eModemInSignal, bool)> OnSignalChange;
  // The device went away while open (hang-up, end of file, an I/O error).
  // When assigned it replaces the error report: it is posted to the main
  // thread once per opening and runs only if that opening is still active.
  std::function<void(TSerial&, int)> OnLost;

 private:
  void lineEvent(std::uint32_t event, std::uint32_t modemStatus) override;
  void waitFailed(int err) override;

  template <typename T>
  void writeLineProperty(T& field, T value) {
    if (field == value) return;
    field = value;
    reapply();
  }
  void reapply();
  void openPort();
  void closePort();
  void assembleMessages();
  void signalChanged(eModemInSignal signal, bool state);
  // After a failed system call: keep the code, report it unless it only
  // means "try again".
  void checkError(int err);
  void reportError(int code);
  void reportLost(int err);

  MainThread& mainThread_;
  int port_ = 1;
  LineSettings settings_{.baudrate = 9600,
                         .parity = paNone,
                         .dataBits = d7bit,
                         .stopBits = st1bit,
                         .flowMode = fcNone,
                         .checkParity = true};
  std::uint16_t rxQueueSize_ = 1024;
  std::uint16_t txQueueSize_ = 1024;
  std::uint32_t timeout_ = 10000;
  eOpModes rxEventMode_ = rxNormal;
  std::uint8_t messageStart_ = 2;
  std::uint8_t messageEnd_ = 3;
  std::uint16_t messageAppend_ = 0;
  eNotifyErr notifyErrors_ = neDialog;
  bool waitOnTxFull_ = true;
  int errorCode_ = 0;
  bool active_ = false;
  bool deviceGone_ = false;  // the device has failed as gone; not reported again
  bool closing_ = false;
  unsigned openings_ = 0;  // tells a late lost report from the current opening
  std::shared_ptr<char> alive_ = std::make_shared<char>(0);
  bool signalStates_[3] = {false, false, false};
  std::map<int, std::string> portDevices_;
  std::string fixedDevice_;
  std::string lockDirectory_ = kDefaultLockDirectory;
  SerialErrorDialog* dialog_ = nullptr;
  MessageAssembler assembler_;
  PosixPort line_;
  TEventThread thread_;  // last: stopped before the rest goes away
};

}  // namespace tarnwick
