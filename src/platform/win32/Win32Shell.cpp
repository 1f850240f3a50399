#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// The shell, COM, the notification area, menus and string resources.
class Win32Shell final : public Shell {
 public:
  bool CoInitialize() override;
  void CoUninitialize() override;
  void InitCommonControls() override;
  ComObject CreateShellDispatch() override;
  void ShellFindFiles(ComObject shell) override;
  void ShellFileRun(ComObject shell) override;
  void Release(ComObject object) override;

  bool ShellExecute(Hwnd owner, std::string_view verb, std::string_view file,
                    std::int32_t show) override;
  bool OpenSpecialFolder(std::int32_t csidl, std::int32_t show) override;

  bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override;

  std::int32_t LoadString(Module module, std::uint32_t id, std::span<char> buffer) override;
  Menu CreatePopupMenu() override;
  bool AppendMenu(Menu menu, std::uint32_t flags, std::uintptr_t id, const char* text) override;
  bool SetMenuDefaultItem(Menu menu, std::uint32_t item, bool byPosition) override;
  bool TrackPopupMenu(Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                      Hwnd owner) override;
  bool DestroyMenu(Menu menu) override;
};
namespace {

// The shell's automation object and the interface the host asks of it.
constexpr GUID kClsidShell = {
    0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID kIidShellDispatch = {
    0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// In-process, local and remote servers alike.
constexpr DWORD kShellServerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
static_assert(kShellServerContext == 21);

// The record with the balloon fields: 488 bytes on 32-bit x86, 504 on x64.
// A 488-byte record on x64 would be read as the older form.
static_assert(NOTIFYICONDATAA_V2_SIZE == (sizeof(void*) == 8 ? 504 : 488));

using ItemIdList = UniqueResource<ItemIdListTraits<Win32Shell>>;

IShellDispatch* ToShellDispatch(ComObject object) {
  return ToSystem<IShellDispatch*>(object);
}

// Strings are copied whole up to the field's size, keeping its terminating zero.
template <std::size_t N>
void CopyText(char (&field)[N], std::string_view text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

const char* NullWhenEmpty(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

bool Win32Shell::CoInitialize() {
  return SUCCEEDED(::CoInitialize(nullptr));
}

void Win32Shell::CoUninitialize() {
  ::CoUninitialize();
}

void Win32Shell::InitCommonControls() {
  ::InitCommonControls();
}

ComObject Win32Shell::CreateShellDispatch() {
  void* shell = nullptr;
  if (FAILED(::CoCreateInstance(kClsidShell, nullptr, kShellServerContext, kIidShellDispatch,
                                &shell))) {
    return ComObject::None;
  }
  return FromSystem<ComObject>(shell);
}

void Win32Shell::ShellFindFiles(ComObject shell) {
  if (IsSet(shell)) ToShellDispatch(shell)->FindFiles();
}

void Win32Shell::ShellFileRun(ComObject shell) {
  if (IsSet(shell)) ToShellDispatch(shell)->FileRun();
}

void Win32Shell::Release(ComObject object) {
  if (IsSet(object)) ToUnknown(object)->Release();
}

bool Win32Shell::ShellExecute(Hwnd owner, std::string_view verb, std::string_view file,
                              std::int32_t show) {
  const std::string verbText(verb);
  const std::string fileText(file);
  const HINSTANCE result = ::ShellExecuteA(ToHwnd(owner), NullWhenEmpty(verbText), fileText.c_str(),
                                           nullptr, nullptr, show);
  // Values up to 32 are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::OpenSpecialFolder(std::int32_t csidl, std::int32_t show) {
  LPITEMIDLIST raw = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &raw))) return false;
  const ItemIdList list(*this, raw);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_IDLIST;
  info.lpIDList = list.Get();
  info.nShow = show;
  return ::ShellExecuteExA(&info);
}

bool Win32Shell::NotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAA record{};
  // The form with the balloon fields, whatever the headers' newest form is.
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = ToHwnd(data.hwnd);
  record.uID = data.id;
  record.uFlags = data.flags;
  record.uCallbackMessage = data.callbackMessage;
  if (data.iconResource != 0) {
    record.hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(data.iconResource));
  }
  CopyText(record.szTip, data.tip);
  return ::Shell_NotifyIconA(message, &record);
}

std::int32_t Win32Shell::LoadString(Module module, std::uint32_t id, std::span<char> buffer) {
  if (buffer.empty()) return 0;
  buffer[0] = '\0';
  // A null module would mean the executable itself; the seam means "no library".
  if (!IsSet(module)) return 0;
  return ::LoadStringA(ToModule(module), id, buffer.data(), static_cast<int>(buffer.size()));
}

Menu Win32Shell::CreatePopupMenu() {
  return FromMenu(::CreatePopupMenu());
}

bool Win32Shell::AppendMenu(Menu menu, std::uint32_t flags, std::uintptr_t id, const char* text) {
  return ::AppendMenuA(ToMenu(menu), flags, id, text);
}

bool Win32Shell::SetMenuDefaultItem(Menu menu, std::uint32_t item, bool byPosition) {
  return ::SetMenuDefaultItem(ToMenu(menu), item, byPosition);
}

bool Win32Shell::TrackPopupMenu(Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                                Hwnd owner) {
  return ::TrackPopupMenu(ToMenu(menu), flags, x, y, 0, ToHwnd(owner), nullptr);
}

bool Win32Shell::DestroyMenu(Menu menu) {
  return ::DestroyMenu(ToMenu(menu));
}

std::unique_ptr<Shell> MakeShell() {
  return std::make_unique<Win32Shell>();
}

}  // namespace hidhost::platform::win32
