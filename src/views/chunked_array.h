// An array that grows in fixed chunks: growing never moves or copies what it holds, so a large one
// never needs room for itself twice, and shrinking gives whole chunks back.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace ws {

// INVARIANT: chunks_ holds exactly the chunks that elements 0 .. size() - 1 fall into (a chunk
// given back early by releaseChunk is null).
template <class T, int kChunkShift>
class ChunkedArray {
 public:
  static constexpr std::size_t kChunkElements = std::size_t{1} << kChunkShift;

  ChunkedArray() = default;
  ChunkedArray(const ChunkedArray& other) { *this = other; }
  ChunkedArray(ChunkedArray&& other) noexcept = default;
  ChunkedArray& operator=(const ChunkedArray& other) {
    if (this == &other) return *this;
    chunks_.clear();
    chunks_.reserve(other.chunks_.size());
    for (std::size_t c = 0; c < other.chunks_.size(); ++c) {
      chunks_.push_back(std::make_unique_for_overwrite<T[]>(kChunkElements));
      const std::size_t used = std::min(kChunkElements, other.size_ - c * kChunkElements);
      if (other.chunks_[c]) std::copy_n(other.chunks_[c].get(), used, chunks_.back().get());
    }
    size_ = other.size_;
    return *this;
  }
  ChunkedArray& operator=(ChunkedArray&& other) noexcept = default;
  ~ChunkedArray() = default;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // REQUIRES: i < size().
  T& operator[](std::size_t i) { return chunks_[i >> kChunkShift][i & (kChunkElements - 1)]; }
  const T& operator[](std::size_t i) const {
    return chunks_[i >> kChunkShift][i & (kChunkElements - 1)];
  }
  // REQUIRES: !empty().
  T& back() { return (*this)[size_ - 1]; }

  void pushBack(const T& value) {
    if ((size_ >> kChunkShift) == chunks_.size()) {
      chunks_.push_back(std::make_unique_for_overwrite<T[]>(kChunkElements));
    }
    (*this)[size_++] = value;
  }

  // Keeps the first `n` elements and gives back the chunks beyond them. REQUIRES: n <= size().
  void truncate(std::size_t n) {
    size_ = n;
    chunks_.resize((n + kChunkElements - 1) >> kChunkShift);
  }

  // Gives chunk `chunk` back before the elements in it are dropped; they must not be read again
  // until truncate() has dropped them. REQUIRES: chunk < (size() + kChunkElements - 1) /
  // kChunkElements.
  void releaseChunk(std::size_t chunk) { chunks_[chunk].reset(); }

  // Bytes allocated for the elements and the chunk table.
  std::size_t bytesHeld() const {
    std::size_t bytes = chunks_.capacity() * sizeof(std::unique_ptr<T[]>);
    for (const auto& chunk : chunks_) bytes += chunk ? kChunkElements * sizeof(T) : 0;
    return bytes;
  }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace ws
