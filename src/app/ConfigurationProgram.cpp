#include "app/ConfigurationProgram.h"

#include <string>

namespace hidhost::app {

namespace {

void PostCloseTo(platform::Windows& windows, const char* title) {
  const platform::Hwnd window = windows.FindWindowByTitle(title);
  if (platform::IsSet(window)) windows.PostMessage(window, platform::kWmClose, 0, 0);
}

// The executable's directory without its trailing separator, then the program.
std::string ConfigurationProgramPath(platform::ProfileFiles& files) {
  std::string path = files.GetModuleFileName();
  const std::size_t separator = path.rfind('\\');
  path.resize(separator == std::string::npos ? 0 : separator);
  return path + "\\" + kConfigurationExecutable;
}

}  // namespace

void OpenConfigurationProgram(platform::Platform& platform) {
  platform::Windows& windows = platform.windows;
  const platform::Hwnd window = windows.FindWindowByTitle(kConfigurationWindowTitle);
  if (platform::IsSet(window)) {
    if (windows.IsIconic(window)) windows.ShowWindow(window, platform::kSwShowNormal);
    windows.SetForegroundWindow(window);
    windows.SetActiveWindow(window);
    return;
  }
  platform.shell.ShellExecute(platform::Hwnd::None, "open",
                              ConfigurationProgramPath(platform.profile), platform::kSwShow);
}

void NotifyDeviceReady(platform::Windows& windows) {
  const platform::Hwnd window = windows.FindWindowByTitle(kConfigurationWindowTitle);
  if (platform::IsSet(window)) windows.PostMessage(window, kDeviceReadyNotice, 0, 0);
}

void CloseCompanionWindows(platform::Windows& windows) {
  PostCloseTo(windows, kConfigurationWindowTitle);
  PostCloseTo(windows, kDisplayWindowTitle);
}

}  // namespace hidhost::app
