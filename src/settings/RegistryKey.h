// A small owner of one open registry key, addressed by a full path whose
// first component names the root.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "platform/UniqueResource.h"

namespace hidhost::settings {

// The longest subkey a RegistryKey keeps (its text holds 260 bytes with the zero).
inline constexpr std::size_t kMaxSubkeyLength = 259;

class RegistryKey {
 public:
  explicit RegistryKey(platform::Registry& registry);
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Opens, or creates when missing, the key at path; true when a key is open
  // afterwards. A path without a backslash, or whose subkey is longer than
  // kMaxSubkeyLength, opens nothing.
  bool Open(std::string_view path, std::uint32_t access);
  // The value's bytes into buffer, always terminated; true when the query
  // succeeded. On failure the buffer holds the empty text.
  bool ReadString(std::string_view name, std::span<char> buffer);
  // A REG_SZ value of the text's bytes, without a terminating zero.
  bool WriteString(std::string_view name, std::string_view text);
  // Closes the key and forgets the subkey; the root stays.
  void Close();

  bool IsOpen() const { return static_cast<bool>(key_); }
  platform::RegKey Root() const { return root_; }
  const std::string& Subkey() const { return subkey_; }

 private:
  bool Parse(std::string_view path);

  platform::Registry& registry_;
  platform::UniqueRegKey key_;
  platform::RegKey root_ = platform::RegKey::None;
  std::string subkey_;
};

// RegOpenKeyExA with KEY_ALL_ACCESS, else RegCreateKeyA; empty when both fail.
platform::UniqueRegKey OpenOrCreateKey(platform::Registry& registry, platform::RegKey root,
                                       std::string_view subkey);

// A value's data as terminated text in a buffer of at most buffer.size()
// bytes, whatever the value's type or length. False (and the empty text)
// when the key is not open or the query fails.
bool QueryTerminatedString(platform::Registry& registry, platform::RegKey key,
                           std::string_view name, std::span<char> buffer);

}  // namespace hidhost::settings
