// A registry whose values, types and failures come from the fuzzer's input.
// It keeps the seam's promises to the letter and nothing more: a value too
// big for the caller's buffer fails and leaves the buffer full of junk, as
// RegQueryValueExA may, and data is never terminated for the caller.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/FacetBases.h"
#include "platform/Platform.h"

namespace hidhost::fuzzing {

class FuzzedRegistry final : public platform::QuietRegistry {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::string data;
  };
  struct KeyState {
    bool exists = false;
    bool canOpen = true;
    bool canCreate = true;
    bool canWrite = true;
    std::map<std::string, Value, std::less<>> values;
  };

  // Keys under HKEY_CURRENT_USER, by their subkey path. Keys and values are
  // found without building a string: the fast targets read every value of a
  // host's start-up.
  KeyState& Key(std::string_view subkey);
  int OpenKeyCount() const { return static_cast<int>(open_.size()); }

  platform::RegKey OpenKey(platform::RegKey root, std::string_view subkey,
                           std::uint32_t access) override;
  platform::RegKey CreateKey(platform::RegKey root, std::string_view subkey) override;
  bool QueryValue(platform::RegKey key, std::string_view name, std::span<char> buffer,
                  std::uint32_t* type, std::uint32_t* size) override;
  bool SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override;
  bool CloseKey(platform::RegKey key) override;

 private:
  platform::RegKey Hand(const std::string& subkey);
  KeyState* StateOf(platform::RegKey key);

  std::map<std::string, KeyState, std::less<>> keys_;
  std::map<std::uintptr_t, std::string> open_;  // handle -> subkey
  std::uintptr_t next_ = 0x1000;
};

}  // namespace hidhost::fuzzing
