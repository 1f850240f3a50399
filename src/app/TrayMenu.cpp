#include <array>

#include "app/ConfigurationProgram.h"
#include "app/TrayIcon.h"
#include "platform/Constants.h"
#include "platform/UniqueResource.h"

namespace hidhost::app {

namespace {

using platform::Hwnd;

void BringHostForward(platform::Windows& windows, Hwnd host) {
  const Hwnd popup = windows.GetLastActivePopup(host);
  if (!platform::IsSet(popup)) return;
  if (windows.IsIconic(popup)) windows.ShowWindow(popup, platform::kSwShowNormal);
  windows.SetForegroundWindow(popup);
  windows.SetActiveWindow(popup);
}

const char* MenuText(platform::Shell& shell, platform::Module strings, std::uint32_t id,
                     const char* fallback, std::array<char, 260>& buffer) {
  buffer[0] = '\0';
  if (shell.LoadString(strings, id, buffer) > 0) return buffer.data();
  return fallback;
}

void ShowMenu(platform::Platform& platform, Hwnd host, platform::Module strings) {
  platform::Shell& shell = platform.shell;
  platform.windows.SetForegroundWindow(platform.windows.GetLastActivePopup(host));
  platform::UniqueMenu menu(shell, shell.CreatePopupMenu());
  if (!menu) return;

  std::array<char, 260> text{};
  shell.AppendMenu(menu.Get(), platform::kMfString, kOpenSettingsCommand,
                   MenuText(shell, strings, kOpenSettingsString, kOpenSettingsFallback, text));
  shell.SetMenuDefaultItem(menu.Get(), kOpenSettingsCommand, false);
  shell.AppendMenu(menu.Get(), platform::kMfSeparator, 0, nullptr);
  shell.AppendMenu(menu.Get(), platform::kMfString, kExitCommand,
                   MenuText(shell, strings, kExitString, kExitFallback, text));

  platform::Point cursor;
  platform.input.GetCursorPos(cursor);
  shell.TrackPopupMenu(menu.Get(), 0, cursor.x, cursor.y, host);
  // Lets the menu close properly when the user clicks elsewhere.
  platform.windows.PostMessage(host, platform::kWmNull, 0, 0);
}

}  // namespace

void OnTrayCallback(platform::Platform& platform, Hwnd host, platform::Module strings,
                    platform::LParam mouseMessage) {
  switch (static_cast<std::uint32_t>(mouseMessage)) {
    case platform::kWmLButtonDown:
      BringHostForward(platform.windows, host);
      break;
    case platform::kWmLButtonDblClk:
      OpenConfigurationProgram(platform);
      break;
    case platform::kWmRButtonDown:
      ShowMenu(platform, host, strings);
      break;
    default:
      break;
  }
}

}  // namespace hidhost::app
