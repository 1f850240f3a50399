#include "app/HostApp.h"

#include "app/HostWindow.h"

namespace hidhost::app {

HostApp::HostApp(platform::Platform& platform) : platform_(platform) {}

HostApp::~HostApp() = default;

int HostApp::InitInstance() {
  const platform::CreatedMutex created = platform_.kernel.CreateMutex(kInstanceMutexName);
  instanceMutex_.Reset(platform_.kernel, created.handle);
  if (created.alreadyExisted) {
    // Another host runs: leave quietly. With no main window the loop ends at once.
    instanceMutex_.Reset();
    return -1;
  }
  window_ = std::make_unique<HostWindow>(platform_, *this);
  const platform::Hwnd hwnd = window_->Create();
  // A refused window leaves no main window, so the process ends and frees the
  // instance mutex instead of running on windowless.
  if (platform::IsSet(hwnd)) SetMainWindow(hwnd);
  return 1;
}

int HostApp::ExitInstance(int quitCode) {
  window_.reset();
  instanceMutex_.Reset();
  return quitCode;
}

}  // namespace hidhost::app
