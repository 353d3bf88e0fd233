#pragma once
// Cuts received bytes into messages: a start byte, the body, an end byte and
// a fixed number of trailing bytes (a checksum, say).

#include <cstdint>
#include <string>

namespace tarnwick {

class MessageAssembler {
 public:
  enum State { idle = 0, inMessage = 1, appending = 2, complete = 3 };

  // Takes one byte; true when it completes a message, which message() then
  // holds until the next start byte. The start byte is tested first, so when
  // start and end are the same byte every occurrence starts a new message.
  bool feed(std::uint8_t byte, std::uint8_t start, std::uint8_t end, std::uint16_t appendCount);

  const std::string& message() const { return buffer_; }
  State state() const { return state_; }

 private:
  State state_ = idle;
  std::uint16_t toCome_ = 0;
  std::string buffer_;
};

}  // namespace tarnwick
