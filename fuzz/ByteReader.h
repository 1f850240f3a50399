// Reads a fuzzer's input front to back, so that seeds can be written by hand
// (fuzz/make_seeds.py): a byte is a flag by its low bit, a number is four
// little-endian bytes, a string is a two-byte little-endian length and that
// many bytes. Past the end everything reads as zero or empty.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace hidhost::fuzzing {

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  bool AtEnd() const { return at_ >= size_; }
  bool Flag() { return (Byte() & 1) != 0; }
  std::uint32_t Number() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
    return value;
  }
  std::string String(std::size_t longest) {
    const std::size_t wanted = Byte() | (std::size_t{Byte()} << 8);
    const std::size_t length = std::min({wanted, longest, size_ - at_});
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace hidhost::fuzzing
