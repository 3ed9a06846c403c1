#pragma once
// The key buffer, the program's input: a ring of 16 slots holding at most 15 key texts, one byte
// for a character key, 255 and a second byte for any other key. Thread-safe: the window thread
// pushes, the working thread takes.

#include <array>
#include <mutex>
#include <string>
#include <string_view>

namespace ws {

class KeyRing {
 public:
  static constexpr int kSlots = 16;
  static constexpr int kCapacity = kSlots - 1;

  // Appends a key text; when kCapacity texts are waiting the oldest is dropped.
  // An empty text is ignored (it would read back as "no key").
  void push(std::string_view keyText);

  // Takes the oldest key text without waiting; "" when none is waiting.
  std::string take();

  // Whether `keyText` is among the waiting texts; nothing is taken.
  bool holds(std::string_view keyText) const;

  int size() const;

 private:
  mutable std::mutex mutex_;
  std::array<std::string, kSlots> slots_;
  int head_ = 0;  // next slot to take
  int tail_ = 0;  // next slot to fill; head_ == tail_ means empty
};

}  // namespace ws
