#include "trie/address_reservation.h"

#include <sys/mman.h>

#include <algorithm>
#include <utility>

namespace ws {
namespace {

// Commit in steps of whole huge pages so transparent huge pages can back the range.
constexpr size_t kCommitStep = size_t{2} << 20;

size_t roundUp(size_t n, size_t step) {
  return (n + step - 1) / step * step;
}

}  // namespace

bool AddressReservation::reserve(size_t bytes) {
  unmap();
  const size_t size = roundUp(bytes, kCommitStep);
  // PROT_NONE address space costs no memory and is not charged against the
  // commit limit; pages are charged only when commit() opens them.
  void* p = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) return false;
#ifdef MADV_HUGEPAGE
  // Huge pages: one fault per 2 MiB instead of one per 4 KiB while the range fills.
  madvise(p, size, MADV_HUGEPAGE);
#endif
  base_ = p;
  reserved_ = size;
  return true;
}

AddressReservation::~AddressReservation() {
  unmap();
}

AddressReservation::AddressReservation(AddressReservation&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)),
      reserved_(std::exchange(other.reserved_, 0)),
      committed_(std::exchange(other.committed_, 0)) {}

AddressReservation& AddressReservation::operator=(AddressReservation&& other) noexcept {
  if (this != &other) {
    unmap();
    base_ = std::exchange(other.base_, nullptr);
    reserved_ = std::exchange(other.reserved_, 0);
    committed_ = std::exchange(other.committed_, 0);
  }
  return *this;
}

bool AddressReservation::commit(size_t bytes) {
  if (bytes <= committed_) return true;
  if (base_ == nullptr || bytes > reserved_) return false;
  const size_t target = std::min(reserved_, roundUp(bytes, kCommitStep));
  char* start = static_cast<char*>(base_) + committed_;
  if (mprotect(start, target - committed_, PROT_READ | PROT_WRITE) != 0) return false;
  committed_ = target;
  return true;
}

void AddressReservation::discard() {
  if (base_ == nullptr || committed_ == 0) return;
  // Private anonymous pages read as zero again after MADV_DONTNEED.
  madvise(base_, committed_, MADV_DONTNEED);
}

void AddressReservation::unmap() {
  if (base_ != nullptr) munmap(base_, reserved_);
  base_ = nullptr;
  reserved_ = 0;
  committed_ = 0;
}

}  // namespace ws
