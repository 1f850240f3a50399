// One line of a trace: the call's name, then name=value fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace hidhost::trace {

std::string Hex(std::uint64_t value);       // 0x1A
std::string Decimal(std::int64_t value);    // -120
std::string Quoted(std::string_view text);  // "text"
// Bytes in memory order as uppercase hex pairs; "-" for none.
std::string HexBytes(const void* data, std::size_t size);
// A 32-bit message argument as the 32-bit host sees it.
std::string HexArgument(std::uint64_t value);

class TraceLine {
 public:
  explicit TraceLine(std::string_view call) : text_(call) {}
  TraceLine& Field(std::string_view name, std::string_view value) {
    text_ += ' ';
    text_ += name;
    text_ += '=';
    text_ += value;
    return *this;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

}  // namespace hidhost::trace
