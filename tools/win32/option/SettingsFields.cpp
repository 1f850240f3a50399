#include "SettingsFields.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace hidhost::option {
namespace {

using settings::MouseSettings;

// Every field of the record, in its order: the number fields, then the assignments.
constexpr std::array<SettingsField, settings::kMouseSettingsWords> BuildFields() {
  std::array<SettingsField, settings::kMouseSettingsWords> fields{};
  std::size_t next = 0;
  for (const contracts::NumberField& field : contracts::kNumberFields) {
    fields[next++] = {field.name, field.offset, false};
  }
  for (std::size_t i = 0; i < contracts::kButtonInfoNames.size(); ++i) {
    fields[next++] = {contracts::kButtonInfoNames[i], contracts::ButtonInfoOffset(i), true};
  }
  return fields;
}
constexpr auto kFields = BuildFields();

static_assert(kFields.size() * 4 == settings::kMouseSettingsSize);

unsigned char* At(MouseSettings& record, const SettingsField& field) {
  return reinterpret_cast<unsigned char*>(&record) + field.offset;
}
const unsigned char* At(const MouseSettings& record, const SettingsField& field) {
  return reinterpret_cast<const unsigned char*>(&record) + field.offset;
}

bool ParseNumber(std::string_view text, std::int32_t& value) {
  int base = 10;
  bool negative = false;
  if (text.starts_with("-")) {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  return true;
}

bool ParseBytes(std::string_view text, unsigned char (&bytes)[4]) {
  if (text.size() != 8) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    const char* first = text.data() + i * 2;
    const auto [end, error] = std::from_chars(first, first + 2, bytes[i], 16);
    if (error != std::errc() || end != first + 2) return false;
  }
  return true;
}

}  // namespace

std::span<const SettingsField> AllSettingsFields() {
  return kFields;
}

const SettingsField* FindSettingsField(std::string_view name) {
  for (const SettingsField& field : kFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

std::string FormatField(const MouseSettings& record, const SettingsField& field) {
  const unsigned char* bytes = At(record, field);
  char text[16];
  if (field.isAssignment) {
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], bytes[3]);
  } else {
    std::int32_t value;
    std::memcpy(&value, bytes, sizeof value);
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  }
  return text;
}

bool StoreField(MouseSettings& record, const SettingsField& field, std::string_view text) {
  if (field.isAssignment) {
    unsigned char bytes[4];
    if (!ParseBytes(text, bytes)) return false;
    std::memcpy(At(record, field), bytes, sizeof bytes);
    return true;
  }
  std::int32_t value;
  if (!ParseNumber(text, value)) return false;
  std::memcpy(At(record, field), &value, sizeof value);
  return true;
}

}  // namespace hidhost::option
