// The application object: single instance, the hidden host window, exit.
#pragma once

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

 private:
  // Once per process, for the one copy that runs.
  void KeepTimerResolutionWhenHidden();

  platform::Platform& platform_;
  platform::UniqueHandle instanceMutex_;
  std::unique_ptr<HostWindow> window_;
};

}  // namespace hidhost::app
