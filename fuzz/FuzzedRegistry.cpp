#include "FuzzedRegistry.h"

#include <algorithm>
#include <cstring>

namespace hidhost::fuzzing {

namespace {

constexpr char kJunk = '\xCD';

}  // namespace

FuzzedRegistry::KeyState& FuzzedRegistry::Key(std::string_view subkey) {
  const auto found = keys_.find(subkey);
  if (found != keys_.end()) return found->second;
  return keys_.emplace(std::string(subkey), KeyState{}).first->second;
}

platform::RegKey FuzzedRegistry::Hand(const std::string& subkey) {
  const std::uintptr_t handle = next_++;
  open_[handle] = subkey;
  return static_cast<platform::RegKey>(handle);
}

FuzzedRegistry::KeyState* FuzzedRegistry::StateOf(platform::RegKey key) {
  const auto open = open_.find(platform::ValueOf(key));
  return open == open_.end() ? nullptr : &Key(open->second);
}

platform::RegKey FuzzedRegistry::OpenKey(platform::RegKey root, std::string_view subkey,
                                         std::uint32_t) {
  if (root != platform::kHkeyCurrentUser) return platform::RegKey::None;
  const KeyState& state = Key(subkey);
  if (!state.exists || !state.canOpen) return platform::RegKey::None;
  return Hand(std::string(subkey));
}

platform::RegKey FuzzedRegistry::CreateKey(platform::RegKey root, std::string_view subkey) {
  if (root != platform::kHkeyCurrentUser) return platform::RegKey::None;
  KeyState& state = Key(subkey);
  if (!state.canCreate) return platform::RegKey::None;
  state.exists = true;
  return Hand(std::string(subkey));
}

bool FuzzedRegistry::QueryValue(platform::RegKey key, std::string_view name, std::span<char> buffer,
                                std::uint32_t* type, std::uint32_t* size) {
  KeyState* state = StateOf(key);
  if (state == nullptr) return false;
  const auto value = state->values.find(name);
  if (value == state->values.end()) return false;
  if (value->second.data.size() > buffer.size()) {
    std::fill(buffer.begin(), buffer.end(), kJunk);
    return false;
  }
  std::memcpy(buffer.data(), value->second.data.data(), value->second.data.size());
  if (type != nullptr) *type = value->second.type;
  if (size != nullptr) *size = static_cast<std::uint32_t>(value->second.data.size());
  return true;
}

bool FuzzedRegistry::SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                              std::span<const char> data) {
  KeyState* state = StateOf(key);
  if (state == nullptr || !state->canWrite) return false;
  state->values[std::string(name)] = {type, std::string(data.begin(), data.end())};
  return true;
}

bool FuzzedRegistry::CloseKey(platform::RegKey key) {
  return open_.erase(platform::ValueOf(key)) == 1;
}

}  // namespace hidhost::fuzzing
