// The application object: single instance, the hidden host window, exit.
#pragma once

#include <atomic>
#include <memory>

#include "contracts/HostIdentity.h"
#include "framework/Application.h"
#include "platform/Platform.h"
#include "platform/UniqueResource.h"

namespace hidhost::app {

class HostWindow;

using contracts::kInstanceMutexName;

class HostApp : public framework::Application {
 public:
  explicit HostApp(platform::Platform& platform);
  ~HostApp() override;

  int InitInstance() override;
  int ExitInstance(int quitCode) override;

  HostWindow* Window() { return window_.get(); }

  // Any thread, once the process has crashed (see HostWindow::LetGoAfterCrash).
  void LetGoAfterCrash(platform::Platform& direct) noexcept;

 private:
  // Once per process, for the one copy that runs.
  void KeepTimerResolutionWhenHidden();

  platform::Platform& platform_;
  platform::UniqueHandle instanceMutex_;
  std::unique_ptr<HostWindow> window_;
  // window_ for the crash path, which may run on any thread: set once the
  // object exists, cleared before it is deleted.
  std::atomic<HostWindow*> crashTarget_{nullptr};
};

}  // namespace hidhost::app
