// The shell, COM, the notification area, menus and string resources.
#pragma once

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

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

}  // namespace hidhost::platform::win32
