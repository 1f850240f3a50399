#include "app/HostApp.h"

#include "app/HostWindow.h"
#include "platform/Constants.h"

namespace hidhost::app {

HostApp::HostApp(platform::Platform& platform) : platform_(platform) {}

HostApp::~HostApp() {
  // Whoever destroys the application while the event thread still runs
  // leaves the window to the end of the process rather than free it under the thread.
  crashTarget_.store(nullptr, std::memory_order_seq_cst);
  if (window_ && !window_->EventThreadEnded()) static_cast<void>(window_.release());
}

void HostApp::LetGoAfterCrash(platform::Platform& direct) noexcept {
  // A crash while ExitInstance deletes the window could still reach the
  // object being deleted; by then the tear-down has let go of everything.
  if (HostWindow* window = crashTarget_.load(std::memory_order_seq_cst)) {
    window->LetGoAfterCrash(direct);
  }
}

int HostApp::InitInstance() {
  const platform::CreatedMutex created = platform_.kernel.CreateMutex(kInstanceMutexName);
  instanceMutex_.Reset(platform_.kernel, created.handle);
  // Another host runs: leave quietly. With no main window the loop ends at once.
  // One started in another security context (elevated, say) refuses even a
  // look at the name, and is as much a running host as one that lets us see it.
  if (created.alreadyExisted || created.accessDenied) {
    instanceMutex_.Reset();
    return -1;
  }
  KeepTimerResolutionWhenHidden();
  window_ = std::make_unique<HostWindow>(platform_, *this);
  crashTarget_.store(window_.get(), std::memory_order_seq_cst);
  const platform::Hwnd hwnd = window_->Create();
  // A refused window leaves no main window, so the process ends and frees the
  // instance mutex instead of running on windowless.
  if (platform::IsSet(hwnd)) SetMainWindow(hwnd);
  return 1;
}

void HostApp::KeepTimerResolutionWhenHidden() {
  // The system may ignore the resolution that a process with no visible
  // window asks for, and the host's only window is hidden. A system without
  // this control, or one that refuses it, still runs the host: its pauses are
  // then as coarse as the system decides.
  platform::PowerThrottlingState state;
  state.version = platform::kPowerThrottlingCurrentVersion;
  state.controlMask = platform::kPowerThrottlingIgnoreTimerResolution;
  state.stateMask = 0;
  platform_.kernel.SetProcessInformation(state);
}

int HostApp::ExitInstance(int quitCode) {
  // The window object stays while an event thread that did not leave in time
  // may still use it; the process ends next, and ends the thread with it.
  if (!window_ || window_->EventThreadEnded()) {
    crashTarget_.store(nullptr, std::memory_order_seq_cst);
    window_.reset();
  }
  instanceMutex_.Reset();
  return quitCode;
}

}  // namespace hidhost::app
