#include "screen/key_ring.h"

namespace ws {

void KeyRing::push(std::string_view keyText) {
  if (keyText.empty()) return;
  std::lock_guard lock(mutex_);
  slots_[tail_].assign(keyText);
  tail_ = (tail_ + 1) % kSlots;
  if (tail_ == head_) head_ = (head_ + 1) % kSlots;  // full: the oldest text gives way
}

std::string KeyRing::take() {
  std::lock_guard lock(mutex_);
  if (head_ == tail_) return {};
  std::string key = std::move(slots_[head_]);
  slots_[head_].clear();
  head_ = (head_ + 1) % kSlots;
  return key;
}

bool KeyRing::holds(std::string_view keyText) const {
  std::lock_guard lock(mutex_);
  for (int i = head_; i != tail_; i = (i + 1) % kSlots) {
    if (slots_[i] == keyText) return true;
  }
  return false;
}

int KeyRing::size() const {
  std::lock_guard lock(mutex_);
  return (tail_ - head_ + kSlots) % kSlots;
}

}  // namespace ws
