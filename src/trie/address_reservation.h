#pragma once
// A large range of address space reserved up front and made usable from its
// start as it is needed, so that growing it never moves what it holds.

#include <cstddef>

namespace ws {

class AddressReservation {
 public:
  AddressReservation() = default;
  // Reserves at least `bytes` of address space without committing memory.
  // Returns false (and leaves this empty) when the system refuses.
  bool reserve(size_t bytes);
  ~AddressReservation();
  AddressReservation(AddressReservation&& other) noexcept;
  AddressReservation& operator=(AddressReservation&& other) noexcept;
  AddressReservation(const AddressReservation&) = delete;
  AddressReservation& operator=(const AddressReservation&) = delete;

  // Start of the range; nullptr before a successful reserve.
  void* base() const { return base_; }
  size_t reservedBytes() const { return reserved_; }
  size_t committedBytes() const { return committed_; }

  // Makes the first `bytes` of the range readable and writable; memory not used
  // before reads as zero. Returns false when `bytes` exceeds the reservation or
  // the system refuses the memory. Never shrinks.
  bool commit(size_t bytes);

  // Gives the committed memory back to the system; it reads as zero afterwards.
  void discard();

 private:
  void unmap();

  void* base_ = nullptr;
  size_t reserved_ = 0;
  size_t committed_ = 0;
};

}  // namespace ws
