#include <memory>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// Profile (INI) files, plain files and the executable's own path.
class Win32ProfileFiles final : public ProfileFiles {
 public:
  std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                     std::int32_t fallback, std::string_view path) override;
  bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                               std::span<std::uint8_t> out, std::string_view path) override;
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override;
  Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition) override;
  std::string GetModuleFileName() override;
};
namespace {

// The longest path that the system's ANSI calls can report.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::uint32_t Win32ProfileFiles::GetPrivateProfileInt(std::string_view section,
                                                      std::string_view key, std::int32_t fallback,
                                                      std::string_view path) {
  return ::GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(), fallback,
                                 std::string(path).c_str());
}

bool Win32ProfileFiles::GetPrivateProfileStruct(std::string_view section, std::string_view key,
                                                std::span<std::uint8_t> out,
                                                std::string_view path) {
  return ::GetPrivateProfileStructA(std::string(section).c_str(), std::string(key).c_str(),
                                    out.data(), static_cast<UINT>(out.size()),
                                    std::string(path).c_str());
}

bool Win32ProfileFiles::WritePrivateProfileString(std::string_view section, std::string_view key,
                                                  std::string_view value, std::string_view path) {
  return ::WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                      std::string(value).c_str(), std::string(path).c_str());
}

Handle Win32ProfileFiles::CreateFile(std::string_view path, std::uint32_t access,
                                     std::uint32_t share, std::uint32_t disposition) {
  return FromHandle(::CreateFileA(std::string(path).c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string Win32ProfileFiles::GetModuleFileName() {
  // A path cut short by the buffer would name another file, so the buffer
  // grows until the whole path fits.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kLongestPath) return {};
    path.resize(path.size() * 2);
  }
}

std::unique_ptr<ProfileFiles> MakeProfileFiles() {
  return std::make_unique<Win32ProfileFiles>();
}

}  // namespace hidhost::platform::win32
