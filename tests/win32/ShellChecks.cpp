// String resources from lan.dll, popup menus and the shell's automation object.
#include <array>
#include <string>

#include "Checks.h"
#include "platform/Constants.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32::checks {
namespace {

std::string Directory(const std::string& path) {
  return path.substr(0, path.rfind('\\') + 1);
}

void CheckStrings(Checks& check, Win32Platform& platform) {
  std::array<char, 260> buffer;
  buffer.fill('#');
  check.Equal(1, "no library: nothing loaded",
              platform.shell.LoadString(Module::None, 1000, buffer), 0);
  check.Equal(2, "no library: the buffer is left empty", buffer[0], '\0');

  const Module lan =
      platform.kernel.LoadLibrary(Directory(platform.profile.GetModuleFileName()) + "lan.dll");
  check.True(3, "lan.dll beside the program loads", IsSet(lan));
  const int length = platform.shell.LoadString(lan, 1000, buffer);
  check.Equal(4, "string 1000", std::string(buffer.data(), length), "Settings...");
  const int exitLength = platform.shell.LoadString(lan, 1001, buffer);
  check.Equal(5, "string 1001", std::string(buffer.data(), exitLength), "Exit");
  check.Equal(6, "a missing string", platform.shell.LoadString(lan, 1002, buffer), 0);
  platform.kernel.FreeLibrary(lan);
}

void CheckMenu(Checks& check, Shell& shell) {
  const Menu menu = shell.CreatePopupMenu();
  check.True(10, "CreatePopupMenu", IsSet(menu));
  check.True(11, "items appended",
             shell.AppendMenu(menu, kMfString, 6001, "Settings...") &&
                 shell.AppendMenu(menu, kMfSeparator, 0, nullptr) &&
                 shell.AppendMenu(menu, kMfString, 6002, "Exit"));
  check.True(12, "default item by command", shell.SetMenuDefaultItem(menu, 6001, false));
  const HMENU system = ToMenu(menu);
  check.Equal(13, "three items", GetMenuItemCount(system), 3);
  check.Equal(14, "the default item", GetMenuDefaultItem(system, FALSE, 0), 6001u);
  check.True(15, "the middle one a separator",
             (GetMenuState(system, 1, MF_BYPOSITION) & MF_SEPARATOR) != 0);
  char text[32] = {};
  GetMenuStringA(system, 2, text, sizeof(text), MF_BYPOSITION);
  check.Equal(16, "the last one's text", std::string(text), "Exit");
  check.True(17, "DestroyMenu", shell.DestroyMenu(menu));
}

void CheckShellObject(Checks& check, Shell& shell) {
  check.True(20, "CoInitialize", shell.CoInitialize());
  const ComObject dispatch = shell.CreateShellDispatch();
  check.True(21, "the shell's automation object", IsSet(dispatch));
  shell.Release(dispatch);
  shell.Release(ComObject::None);  // nothing to release, no fault
  shell.ShellFindFiles(ComObject::None);
  shell.CoUninitialize();
  check.True(22, "ShellExecute of a missing file fails",
             !shell.ShellExecute(Hwnd::None, "open", "C:\\hidhost-no-such-program.exe", kSwShow));
}

}  // namespace

int CheckShellStrings() {
  Checks check("shell");
  Win32Platform platform;
  CheckStrings(check, platform);
  CheckMenu(check, platform.shell);
  CheckShellObject(check, platform.shell);
  return check.Failures();
}

}  // namespace hidhost::platform::win32::checks
