#include "settings/RegistryKey.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/Constants.h"

namespace hidhost::settings {

namespace {

struct RootName {
  std::string_view name;
  platform::RegKey root;
};

// Tested in this order; a path under none of them is taken as below HKLM.
constexpr std::array<RootName, 4> kRootNames = {{
    {"HKEY_LOCAL_MACHINE", platform::kHkeyLocalMachine},
    {"HKEY_CURRENT_USER", platform::kHkeyCurrentUser},
    {"HKEY_CURRENT_CONFIG", platform::kHkeyCurrentConfig},
    {"HKEY_CLASSES_ROOT", platform::kHkeyClassesRoot},
}};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

RegistryKey::RegistryKey(platform::Registry& registry) : registry_(registry) {}

RegistryKey::~RegistryKey() {
  Close();
}

bool RegistryKey::Parse(std::string_view path) {
  const auto separator = path.find('\\');
  if (separator == std::string_view::npos) return false;
  const std::string_view first = path.substr(0, separator);
  platform::RegKey root = platform::kHkeyLocalMachine;
  std::string_view subkey = path;
  for (const auto& candidate : kRootNames) {
    if (EqualsIgnoringCase(first, candidate.name)) {
      root = candidate.root;
      subkey = path.substr(separator + 1);
      break;
    }
  }
  if (subkey.size() > kMaxSubkeyLength) return false;
  root_ = root;
  subkey_.assign(subkey);
  return true;
}

bool RegistryKey::Open(std::string_view path, std::uint32_t access) {
  Close();
  if (!Parse(path)) return false;
  const platform::RegKey opened = registry_.OpenKey(root_, subkey_, access);
  if (platform::IsSet(opened)) {
    key_.Reset(registry_, opened);
  } else {
    key_.Reset(registry_, registry_.CreateKey(root_, subkey_));
  }
  return IsOpen();
}

bool RegistryKey::ReadString(std::string_view name, std::span<char> buffer) {
  return QueryTerminatedString(registry_, key_.Get(), name, buffer);
}

bool RegistryKey::WriteString(std::string_view name, std::string_view text) {
  return IsOpen() && registry_.SetValue(key_.Get(), name, platform::kRegSz, text);
}

void RegistryKey::Close() {
  key_.Reset();
  subkey_.clear();
}

platform::UniqueRegKey OpenOrCreateKey(platform::Registry& registry, platform::RegKey root,
                                       std::string_view subkey) {
  const platform::RegKey opened = registry.OpenKey(root, subkey, platform::kKeyAllAccess);
  if (platform::IsSet(opened)) return platform::UniqueRegKey(registry, opened);
  return platform::UniqueRegKey(registry, registry.CreateKey(root, subkey));
}

bool QueryTerminatedString(platform::Registry& registry, platform::RegKey key,
                           std::string_view name, std::span<char> buffer) {
  if (buffer.empty()) return false;
  buffer[0] = '\0';
  if (!platform::IsSet(key)) return false;
  // One byte is kept back for the terminator: a value that fills the whole
  // buffer, of any type, still ends inside it.
  const auto room = buffer.first(buffer.size() - 1);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (!registry.QueryValue(key, name, room, &type, &size)) {
    buffer[0] = '\0';
    return false;
  }
  buffer[std::min<std::size_t>(size, room.size())] = '\0';
  return true;
}

}  // namespace hidhost::settings
