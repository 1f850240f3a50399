// The registry under the current user: values of each type and size the
// host reads, the buffer sizes it passes, and values it writes.
#include <cstring>
#include <string>
#include <vector>

#include "Cases.h"
#include "platform/Constants.h"

namespace hidhost::conformance {
namespace {

using platform::RegKey;

constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegBinary = 3;

struct QueryRow {
  int row;
  std::string_view name;
  std::size_t capacity;
  bool ok;
  std::uint32_t type;
  std::string data;  // what the buffer holds, up to the size given back
};

}  // namespace

void RegistryValues(Checks& check, Stage& stage) {
  auto& registry = stage.Seam().registry;
  const std::string key(stage.ScratchKey());
  const std::uint32_t ten = 10;
  const std::string longText = std::string(200, '7') + '\0';
  stage.PlantValue(key, "Text", platform::kRegSz, std::span<const char>("1", 2));
  stage.PlantValue(key, "Number", kRegDword, {reinterpret_cast<const char*>(&ten), 4});
  stage.PlantValue(key, "Long", platform::kRegSz, longText);
  stage.PlantValue(key, "Binary", kRegBinary, std::span<const char>("\x01\x02\x03", 3));

  std::string shouted = key;
  for (char& c : shouted) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  const RegKey opened =
      registry.OpenKey(platform::kHkeyCurrentUser, shouted, platform::kKeyAllAccess);
  check.True(1, "a key opens without regard to case", platform::IsSet(opened));
  const QueryRow rows[] = {
      {2, "text", 160, true, platform::kRegSz, std::string("1\0", 2)},
      {3, "NUMBER", 160, true, kRegDword, std::string("\x0A\0\0\0", 4)},
      {4, "Long", 160, false, 0, {}},
      {5, "Long", 201, true, platform::kRegSz, longText},
      {6, "Binary", 3, true, kRegBinary, "\x01\x02\x03"},
      {7, "Missing", 160, false, 0, {}},
  };
  for (const QueryRow& row : rows) {
    std::vector<char> buffer(row.capacity, '#');
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const bool ok = registry.QueryValue(opened, row.name, buffer, &type, &size);
    if (!check.Equal(row.row, "QueryValue succeeds", ok, row.ok) || !ok) continue;
    check.Equal(row.row, "its type", type, row.type);
    check.Equal(row.row, "its data, as stored", std::string(buffer.data(), size), row.data);
  }
  check.True(8, "closed", registry.CloseKey(opened));
  check.True(9, "not twice", !registry.CloseKey(opened));
  check.True(10, "a missing key does not open",
             !platform::IsSet(registry.OpenKey(platform::kHkeyCurrentUser, key + "\\Nothing",
                                               platform::kKeyAllAccess)));

  const std::string made = key + "\\Made\\Below";
  const RegKey created = registry.CreateKey(platform::kHkeyCurrentUser, made);
  check.True(20, "CreateKey makes the missing keys above", platform::IsSet(created));
  check.True(
      21, "a string set without its terminator",
      registry.SetValue(created, "Number", platform::kRegSz, std::span<const char>("12", 2)));
  check.Equal(22, "is stored where the system's root puts it",
              stage.ReadValue(made, "Number").value_or("none"), "12");
  std::vector<char> buffer(16, '#');
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  check.True(23, "and reads back",
             registry.QueryValue(created, "Number", buffer, &type, &size) &&
                 type == platform::kRegSz && std::string(buffer.data(), 2) == "12");
  check.True(24, "its size the text's, with or without a terminator", size == 2 || size == 3);
  registry.CloseKey(created);
}

}  // namespace hidhost::conformance
