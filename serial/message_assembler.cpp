#include "serial/message_assembler.h"

namespace tarnwick {

bool MessageAssembler::feed(std::uint8_t byte, std::uint8_t start, std::uint8_t end,
                            std::uint16_t appendCount) {
  const char c = static_cast<char>(byte);
  if (state_ == appending) {
    buffer_ += c;
    if (--toCome_ == 0) {
      state_ = complete;
      return true;
    }
    return false;
  }
  if (byte == start) {
    state_ = inMessage;  // a message in progress is dropped
    buffer_.assign(1, c);
    return false;
  }
  if (byte == end) {
    if (state_ != inMessage) return false;
    buffer_ += c;
    if (appendCount == 0) {
      state_ = complete;
      return true;
    }
    state_ = appending;
    toCome_ = appendCount;
    return false;
  }
  if (state_ == inMessage) buffer_ += c;
  return false;
}

}  // namespace tarnwick
