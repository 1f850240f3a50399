#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/Constants.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

class SimRegistry final : public platform::Registry, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::RegKey OpenKey(platform::RegKey root, std::string_view subkey,
                           std::uint32_t access) override;
  platform::RegKey CreateKey(platform::RegKey root, std::string_view subkey) override;
  bool QueryValue(platform::RegKey key, std::string_view name, std::span<char> buffer,
                  std::uint32_t* type, std::uint32_t* size) override;
  bool SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override;
  bool CloseKey(platform::RegKey key) override;
};

namespace {

// The full path of an open key or a predefined root.
std::optional<std::string> PathOf(const SimProcessImpl& process, platform::RegKey key) {
  if (auto root = RegistryStore::RootName(key)) return root;
  auto it = process.keys.find(platform::ValueOf(key));
  if (it == process.keys.end()) return std::nullopt;
  return it->second;
}

}  // namespace

platform::RegKey SimRegistry::OpenKey(platform::RegKey root, std::string_view subkey,
                                      std::uint32_t /*access*/) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::RegOpenKeyEx)) return platform::RegKey::None;
  const auto base = PathOf(process_, root);
  if (!base) return platform::RegKey::None;
  const auto path = RegistryStore::Join(*base, subkey);
  if (!path || !world_.registry.Exists(*path) || world_.registry.IsLocked(*path)) {
    return platform::RegKey::None;
  }
  const std::uintptr_t handle = process_.NextKeyHandle();
  process_.keys.emplace(handle, *path);
  return static_cast<platform::RegKey>(handle);
}

platform::RegKey SimRegistry::CreateKey(platform::RegKey root, std::string_view subkey) {
  Lock lock(world_.mutex);
  const auto base = PathOf(process_, root);
  const auto path = base ? RegistryStore::Join(*base, subkey) : std::nullopt;
  const std::string shown =
      path ? *path : base.value_or("") + (base ? "\\" : "") + std::string(subkey);
  world_.Trace(trace::RegCreateKeyLine(shown));
  if (world_.Fails(Call::RegCreateKey)) return platform::RegKey::None;
  if (!path || !world_.registry.Create(*path)) return platform::RegKey::None;
  const std::uintptr_t handle = process_.NextKeyHandle();
  process_.keys.emplace(handle, *path);
  return static_cast<platform::RegKey>(handle);
}

bool SimRegistry::QueryValue(platform::RegKey key, std::string_view name, std::span<char> buffer,
                             std::uint32_t* type, std::uint32_t* size) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::RegQueryValueEx)) return false;
  const auto path = PathOf(process_, key);
  const RegistryValue* value = path ? world_.registry.Value(*path, name) : nullptr;
  if (value == nullptr) return false;
  if (type != nullptr) *type = value->type;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  if (size != nullptr) *size = needed;
  if (buffer.data() == nullptr) return true;             // a query of the size alone
  if (buffer.size() < value->data.size()) return false;  // ERROR_MORE_DATA
  std::memcpy(buffer.data(), value->data.data(), value->data.size());
  return true;
}

bool SimRegistry::SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                           std::span<const char> data) {
  Lock lock(world_.mutex);
  const auto path = PathOf(process_, key);
  world_.Trace(trace::RegSetValueLine(path.value_or(""), name, type, data));
  if (world_.Fails(Call::RegSetValueEx) || !path) return false;
  return world_.registry.SetValue(*path, name, {type, std::vector<char>(data.begin(), data.end())});
}

bool SimRegistry::CloseKey(platform::RegKey key) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::RegCloseKey)) return false;
  if (RegistryStore::RootName(key)) return true;
  return process_.keys.erase(platform::ValueOf(key)) > 0;
}

std::unique_ptr<platform::Registry> MakeSimRegistry(World& world, SimProcessImpl& process) {
  return std::make_unique<SimRegistry>(world, process);
}

}  // namespace hidhost::sim
