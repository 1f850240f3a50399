// The registry under the predefined roots, profile files, plain files and
// the executable's own path.
#include <array>
#include <string>

#include "Checks.h"
#include "platform/Constants.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32::checks {
namespace {

constexpr const char* kSubkey = "Software\\HidHostBackendCheck";

std::string Text(std::span<const char> bytes, std::uint32_t size) {
  return std::string(bytes.data(), size);
}

void CheckRegistry(Checks& check, Registry& registry) {
  const RegKey created = registry.CreateKey(kHkeyCurrentUser, kSubkey);
  check.True(1, "key created under the current user", IsSet(created));
  const std::string_view value = "12";
  check.True(2, "string set without its terminator",
             registry.SetValue(created, "Number", kRegSz, {value.data(), value.size()}));
  registry.CloseKey(created);

  // Read back past the seam: the value must be where the system's root puts it.
  char direct[16] = {};
  DWORD directSize = sizeof(direct);
  const LSTATUS status = RegGetValueA(HKEY_CURRENT_USER, kSubkey, "Number", RRF_RT_REG_SZ, nullptr,
                                      direct, &directSize);
  check.Equal(3, "the seam's current-user root is the system's", status,
              static_cast<LSTATUS>(ERROR_SUCCESS));
  check.Equal(4, "value as stored", std::string(direct), "12");

  const RegKey opened = registry.OpenKey(kHkeyCurrentUser, kSubkey, kKeyAllAccess);
  check.True(5, "the key opens", IsSet(opened));
  std::array<char, 16> buffer;
  buffer.fill('#');
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  check.True(6, "QueryValue", registry.QueryValue(opened, "Number", buffer, &type, &size));
  check.Equal(7, "type", type, kRegSz);
  check.True(8, "size covers the text", size >= 2 && size <= 3);
  check.Equal(9, "data", Text(buffer, 2), "12");
  std::array<char, 1> small{};
  check.True(10, "a buffer too small fails",
             !registry.QueryValue(opened, "Number", small, &type, &size));
  check.True(11, "a missing value fails",
             !registry.QueryValue(opened, "Missing", buffer, nullptr, nullptr));
  check.True(12, "closed", registry.CloseKey(opened));
  check.True(
      13, "a missing key does not open",
      !IsSet(registry.OpenKey(kHkeyCurrentUser, "Software\\HidHostNoSuchKey", kKeyAllAccess)));
  RegDeleteKeyA(HKEY_CURRENT_USER, kSubkey);
}

std::string TempPath(const char* name) {
  char directory[MAX_PATH + 1] = {};
  GetTempPathA(sizeof(directory), directory);
  return std::string(directory) + name;
}

void CheckProfileFiles(Checks& check, ProfileFiles& files) {
  const std::string path = TempPath("hidhost-backend-check.ini");
  DeleteFileA(path.c_str());
  check.True(20, "WritePrivateProfileString",
             files.WritePrivateProfileString("Setting", "Device", "1", path));
  check.Equal(21, "GetPrivateProfileInt", files.GetPrivateProfileInt("Setting", "Device", 5, path),
              1u);
  check.Equal(22, "a missing key gives the fallback",
              files.GetPrivateProfileInt("Setting", "Missing", -1, path), 0xFFFFFFFFu);
  files.WritePrivateProfileString("Setting", "ButtonInfo1", "0101000002", path);
  files.WritePrivateProfileString("Setting", "ButtonInfo2", "0101000003", path);
  std::array<std::uint8_t, 4> assignment{};
  check.True(23, "a structure with its checksum",
             files.GetPrivateProfileStruct("Setting", "ButtonInfo1", assignment, path));
  check.True(24, "its bytes", assignment == std::array<std::uint8_t, 4>{1, 1, 0, 0});
  check.True(25, "a wrong checksum fails",
             !files.GetPrivateProfileStruct("Setting", "ButtonInfo2", assignment, path));

  const Handle file = files.CreateFile(path, kGenericRead, kFileShareRead, kOpenExisting);
  check.True(26, "an existing file opens", IsSet(file));
  if (IsSet(file)) CloseHandle(ToHandle(file));
  check.True(27, "a missing file gives no handle (not INVALID_HANDLE_VALUE)",
             !IsSet(files.CreateFile(TempPath("hidhost-no-such-file.ini"), kGenericRead,
                                     kFileShareRead, kOpenExisting)));
  DeleteFileA(path.c_str());

  const std::string module = files.GetModuleFileName();
  const std::string_view tail = "\\hidhost-win32-checks.exe";
  check.True(28, "GetModuleFileName names this program",
             module.size() > tail.size() && module.ends_with(tail));
}

}  // namespace

int CheckRegistryAndFiles() {
  Checks check("registry-files");
  Win32Platform platform;
  CheckRegistry(check, platform.registry);
  CheckProfileFiles(check, platform.profile);
  return check.Failures();
}

}  // namespace hidhost::platform::win32::checks
