#include "actions/ShellActions.h"

#include <array>

#include "actions/ActionDispatcher.h"
#include "platform/Constants.h"

namespace hidhost::actions {

namespace {

using ShellMethod = void (platform::Shell::*)(platform::ComObject);

struct ShellActionRow {
  platform::WParam code;
  ShellMethod method;
};

constexpr std::array<ShellActionRow, 2> kShellActions = {{
    {69, &platform::Shell::ShellFindFiles},
    {84, &platform::Shell::ShellFileRun},
}};

}  // namespace

void OpenMyComputer(platform::Platform& platform) {
  platform.shell.OpenSpecialFolder(platform::kCsidlDrives, platform::kSwShowNormal);
}

void RequestShellAction(platform::Platform& platform, platform::Hwnd hostWindow,
                        std::uint8_t code) {
  // Without a window the post would land in the event thread's own queue,
  // which nobody reads.
  if (!platform::IsSet(hostWindow)) return;
  platform.windows.PostMessage(hostWindow, kShellRequestMessage, code, 0);
}

void RunShellAction(platform::Platform& platform, platform::WParam code,
                    platform::ComObject shell) {
  if (!platform::IsSet(shell)) return;
  for (const ShellActionRow& row : kShellActions) {
    if (row.code == code) return (platform.shell.*row.method)(shell);
  }
}

}  // namespace hidhost::actions
