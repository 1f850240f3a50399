// A small owner of one open registry key, addressed by a full path whose
// first component names the root.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hidhost::settings {

class RegistryKey {
 public:
  explicit RegistryKey(platform::Registry& registry);
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Opens, or creates when missing, the key at path; 1 when a key is open afterwards.
  int Open(std::string_view path, std::uint32_t access);
  // The value's bytes into buffer, always terminated; 1 when the query succeeded.
  int ReadString(std::string_view name, std::span<char> buffer);
  int WriteString(std::string_view name, std::string_view text);
  void Close();

  bool IsOpen() const { return platform::IsSet(key_); }
  platform::RegKey Root() const { return root_; }
  const std::string& Subkey() const { return subkey_; }

 private:
  platform::Registry& registry_;
  platform::RegKey key_ = platform::RegKey::None;
  platform::RegKey root_ = platform::RegKey::None;
  std::string subkey_;
};

// RegOpenKeyExA with KEY_ALL_ACCESS, else RegCreateKeyA; None when both fail.
platform::RegKey OpenOrCreateKey(platform::Registry& registry, platform::RegKey root,
                                 std::string_view subkey);

}  // namespace hidhost::settings
