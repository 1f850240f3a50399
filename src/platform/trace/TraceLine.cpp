#include "platform/trace/TraceLine.h"

#include <cinttypes>
#include <cstdio>

namespace hidhost::trace {

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%" PRIX64, value);
  return text;
}

std::string Decimal(std::int64_t value) {
  return std::to_string(value);
}

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

std::string HexBytes(const void* data, std::size_t size) {
  if (data == nullptr || size == 0) return "-";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::string text;
  text.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

std::string HexArgument(std::uint64_t value) {
  return Hex(value & 0xFFFFFFFFu);
}

}  // namespace hidhost::trace
