// HidHost.exe: the host on the real system. No console, no arguments.
#include "app/HostApp.h"
#include "platform/framework/Application.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  hidhost::platform::win32::Win32Platform platform;
  hidhost::app::HostApp app(platform);
  return hidhost::framework::RunApplication(app, platform.windows);
}
