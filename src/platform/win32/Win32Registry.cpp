#include <memory>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// The registry, with the seam's predefined roots mapped to the system's.
class Win32Registry final : public Registry {
 public:
  RegKey OpenKey(RegKey root, std::string_view subkey, std::uint32_t access) override;
  RegKey CreateKey(RegKey root, std::string_view subkey) override;
  bool QueryValue(RegKey key, std::string_view name, std::span<char> buffer, std::uint32_t* type,
                  std::uint32_t* size) override;
  bool SetValue(RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override;
  bool CloseKey(RegKey key) override;
};

RegKey Win32Registry::OpenKey(RegKey root, std::string_view subkey, std::uint32_t access) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(ToHkey(root), std::string(subkey).c_str(), 0, access, &key) !=
      ERROR_SUCCESS) {
    return RegKey::None;
  }
  return FromHkey(key);
}

RegKey Win32Registry::CreateKey(RegKey root, std::string_view subkey) {
  HKEY key = nullptr;
  if (::RegCreateKeyA(ToHkey(root), std::string(subkey).c_str(), &key) != ERROR_SUCCESS) {
    return RegKey::None;
  }
  return FromHkey(key);
}

bool Win32Registry::QueryValue(RegKey key, std::string_view name, std::span<char> buffer,
                               std::uint32_t* type, std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD stored = static_cast<DWORD>(buffer.size());
  const LSTATUS status =
      ::RegQueryValueExA(ToHkey(key), std::string(name).c_str(), nullptr, &valueType,
                         reinterpret_cast<BYTE*>(buffer.data()), &stored);
  if (status != ERROR_SUCCESS) return false;
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = stored;
  return true;
}

bool Win32Registry::SetValue(RegKey key, std::string_view name, std::uint32_t type,
                             std::span<const char> data) {
  return ::RegSetValueExA(ToHkey(key), std::string(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Win32Registry::CloseKey(RegKey key) {
  return ::RegCloseKey(ToHkey(key)) == ERROR_SUCCESS;
}

std::unique_ptr<Registry> MakeRegistry() {
  return std::make_unique<Win32Registry>();
}

}  // namespace hidhost::platform::win32
