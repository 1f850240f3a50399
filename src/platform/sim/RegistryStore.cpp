#include "platform/sim/RegistryStore.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace hidhost::sim {

namespace {

struct RootRow {
  platform::RegKey key;
  const char* name;
};

constexpr RootRow kRoots[] = {
    {platform::kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {platform::kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {platform::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {static_cast<platform::RegKey>(0x80000003u), "HKEY_USERS"},
    {platform::kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
};

std::string ParentOf(std::string_view path) {
  const auto slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

}  // namespace

std::string Lowercase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

RegistryStore::RegistryStore() {
  for (const auto& root : kRoots) keys_.emplace(Lowercase(root.name), Key{});
}

std::optional<std::string> RegistryStore::RootName(platform::RegKey root) {
  for (const auto& row : kRoots) {
    if (row.key == root) return std::string(row.name);
  }
  return std::nullopt;
}

std::optional<std::string> RegistryStore::Join(std::string_view base, std::string_view subkey) {
  if (!subkey.empty() && subkey.front() == '\\') return std::nullopt;
  while (!subkey.empty() && subkey.back() == '\\') subkey.remove_suffix(1);
  if (subkey.empty()) return std::string(base);
  std::string path(base);
  path += '\\';
  path += subkey;
  return path;
}

bool RegistryStore::Exists(std::string_view path) const {
  return keys_.contains(Lowercase(path));
}

bool RegistryStore::IsLocked(std::string_view path) const {
  return locked_.contains(Lowercase(path));
}

void RegistryStore::Lock(std::string_view path) {
  locked_.insert(Lowercase(path));
}

bool RegistryStore::Create(std::string_view path, bool ignoreLocks) {
  if (IsLocked(path) && !ignoreLocks) return false;
  if (Exists(path)) return true;
  const std::string parent = ParentOf(path);
  if (parent.empty()) return false;  // an unknown root
  if ((IsLocked(parent) && !ignoreLocks) || !Create(parent, ignoreLocks)) return false;
  keys_.emplace(Lowercase(path), Key{});
  return true;
}

const RegistryValue* RegistryStore::Value(std::string_view path, std::string_view name) const {
  auto key = keys_.find(Lowercase(path));
  if (key == keys_.end()) return nullptr;
  auto value = key->second.values.find(Lowercase(name));
  return value == key->second.values.end() ? nullptr : &value->second;
}

bool RegistryStore::SetValue(std::string_view path, std::string_view name, RegistryValue value) {
  auto key = keys_.find(Lowercase(path));
  if (key == keys_.end()) return false;
  key->second.values[Lowercase(name)] = std::move(value);
  return true;
}

}  // namespace hidhost::sim
