// The reservation on Windows: address space reserved with VirtualAlloc and committed from its
// start in steps as the trie grows.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "trie/address_reservation.h"

namespace ws {
namespace {

// Commit in steps of 2 MiB, as on Linux, so that growing costs few system calls.
constexpr size_t kCommitStep = size_t{2} << 20;

size_t roundUp(size_t n, size_t step) {
  return (n + step - 1) / step * step;
}

}  // namespace

bool AddressReservation::reserve(size_t bytes) {
  unmap();
  const size_t size = roundUp(bytes, kCommitStep);
  // Reserved address space costs no memory and is not charged against the commit limit; pages
  // are charged only when commit() commits them.
  void* p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
  if (p == nullptr) return false;
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
  // Newly committed pages read as zero.
  if (VirtualAlloc(start, target - committed_, MEM_COMMIT, PAGE_READWRITE) == nullptr) return false;
  committed_ = target;
  return true;
}

void AddressReservation::discard() {
  if (base_ == nullptr || committed_ == 0) return;
  // Decommitted pages go back to the system; committed again they read as zero. Should the
  // system refuse to commit them again, the range counts as uncommitted and commit() retries.
  VirtualFree(base_, committed_, MEM_DECOMMIT);
  if (VirtualAlloc(base_, committed_, MEM_COMMIT, PAGE_READWRITE) == nullptr) committed_ = 0;
}

void AddressReservation::unmap() {
  if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
  base_ = nullptr;
  reserved_ = 0;
  committed_ = 0;
}

}  // namespace ws
