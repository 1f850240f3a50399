// The simulated registry: keys by full path ("HKEY_CURRENT_USER\Control
// Panel\Mouse"), compared without regard to case, each with typed values.
// Holds no lock; the world's lock guards it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

namespace hidhost::sim {

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<char> data;
};

class RegistryStore {
 public:
  RegistryStore();

  // "HKEY_CURRENT_USER" for the predefined handle; nullopt for others.
  static std::optional<std::string> RootName(platform::RegKey root);
  // root\subkey with the subkey's surrounding backslashes taken off; nullopt for
  // a subkey that Windows rejects (one that starts with a backslash).
  static std::optional<std::string> Join(std::string_view base, std::string_view subkey);

  bool Exists(std::string_view path) const;
  bool IsLocked(std::string_view path) const;
  void Lock(std::string_view path);
  // Creates the key and any missing parent; false when a key that would have to
  // be created, or its parent, is locked (unless the locks are to be ignored).
  bool Create(std::string_view path, bool ignoreLocks = false);

  const RegistryValue* Value(std::string_view path, std::string_view name) const;
  bool SetValue(std::string_view path, std::string_view name, RegistryValue value);

 private:
  struct Key {
    std::map<std::string, RegistryValue> values;  // by lowercased name
  };
  std::map<std::string, Key> keys_;  // by lowercased path
  std::set<std::string> locked_;
};

std::string Lowercase(std::string_view text);

}  // namespace hidhost::sim
