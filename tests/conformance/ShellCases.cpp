// The shell calls the host makes: string resources, the popup menu's
// building, the shell's automation object, programs started and the
// notification area.
#include <array>
#include <string>

#include "Cases.h"
#include "RecordingProcedure.h"
#include "platform/Constants.h"

namespace hidhost::conformance {

void ShellStrings(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  std::array<char, 260> buffer;
  buffer.fill('#');
  check.Equal(1, "no library: nothing loaded",
              seam.shell.LoadString(platform::Module::None, 1000, buffer), 0);
  check.Equal(2, "and the buffer left empty", buffer[0], '\0');
  const platform::Module lan = seam.kernel.LoadLibrary(stage.StringLibraryPath());
  const int length = seam.shell.LoadString(lan, 1000, buffer);
  check.Equal(3, "string 1000", std::string(buffer.data(), length), "Settings...");
  const int exitLength = seam.shell.LoadString(lan, 1001, buffer);
  check.Equal(4, "string 1001", std::string(buffer.data(), exitLength), "Exit");
  buffer.fill('#');
  check.Equal(5, "a missing string", seam.shell.LoadString(lan, 1002, buffer), 0);
  check.Equal(6, "leaves the buffer empty", buffer[0], '\0');
  seam.kernel.FreeLibrary(lan);

  const platform::Menu menu = seam.shell.CreatePopupMenu();
  check.True(10, "CreatePopupMenu", platform::IsSet(menu));
  check.True(11, "items appended",
             seam.shell.AppendMenu(menu, platform::kMfString, 6001, "Settings...") &&
                 seam.shell.AppendMenu(menu, platform::kMfSeparator, 0, nullptr) &&
                 seam.shell.AppendMenu(menu, platform::kMfString, 6002, "Exit"));
  check.True(12, "the default item by command", seam.shell.SetMenuDefaultItem(menu, 6001, false));
  check.True(13, "not an item: no default", !seam.shell.SetMenuDefaultItem(menu, 6003, false));
  check.True(14, "DestroyMenu", seam.shell.DestroyMenu(menu));
}

void ShellObject(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  auto& shell = seam.shell;
  check.True(1, "without COM, no shell object", !platform::IsSet(shell.CreateShellDispatch()));
  check.True(2, "CoInitialize", shell.CoInitialize());
  const platform::ComObject dispatch = shell.CreateShellDispatch();
  check.True(3, "the shell's automation object", platform::IsSet(dispatch));
  shell.Release(dispatch);
  shell.Release(platform::ComObject::None);  // nothing to release, no fault
  shell.ShellFindFiles(platform::ComObject::None);
  shell.CoUninitialize();

  RecordingProcedure procedure(seam.windows);
  platform::NotifyIconData icon;
  icon.hwnd = seam.windows.CreateFrameworkWindow(
      {0, "HidHost tray", platform::kWsPopup, 0, 0, 10, 10}, procedure);
  icon.id = 102;
  icon.flags = platform::kNifMessage | platform::kNifTip;
  icon.callbackMessage = 0x40C;
  icon.tip = "HidHost conformance";
  check.True(10, "the tray icon is added", shell.NotifyIcon(platform::kNimAdd, icon));
  check.True(11, "not twice", !shell.NotifyIcon(platform::kNimAdd, icon));
  check.True(12, "and removed", shell.NotifyIcon(platform::kNimDelete, icon));
  check.True(13, "not twice", !shell.NotifyIcon(platform::kNimDelete, icon));
  seam.windows.SendMessage(icon.hwnd, platform::kWmClose, 0, 0);
}

}  // namespace hidhost::conformance
