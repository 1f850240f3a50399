// One host process on a simulated desktop, as HostHarness runs it, but with
// every platform call counted on its way to the simulator. Messages come from
// another program, so that a fault armed for the host's own SendMessageA or
// PostMessageA does not stop them.
#pragma once

#include <memory>
#include <optional>

#include "CountingPlatform.h"
#include "app/HostApp.h"
#include "app/HostHarness.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"

namespace hidhost::testing {

class CountedHost {
 public:
  sim::SimDesktop& Desktop() { return desktop_; }
  sim::SimProcess& Process() { return *process_; }
  const CallCounts& Counts() const { return counting_->Counts(); }
  std::optional<int> ExitCode() const { return exitCode_; }

  // Starts the host; false when it ended during start-up.
  bool Start() {
    process_ = &desktop_.StartProcess();
    counting_ = std::make_unique<CountingPlatform>(process_->Platform());
    app_ = std::make_unique<app::HostApp>(counting_->Platform());
    if (app_->InitInstance() == 0 || !platform::IsSet(app_->MainWindow())) {
      process_->Platform().windows.PostQuitMessage(0);
    }
    return Settle();
  }

  // True while the host runs.
  bool Send(std::uint32_t message, platform::WParam wParam = 0, platform::LParam lParam = 0) {
    if (exitCode_) return false;
    process_->SendToWindow(kHostHwnd, message, wParam, lParam);
    return Settle();
  }

  bool Event(std::uint32_t word) {
    if (exitCode_) return false;
    desktop_.QueueEvent(word);
    return Settle();
  }

  // For callers that keep other threads busy, so that the desktop never comes
  // to rest: sends at once and delivers what is posted; false once the host
  // has ended.
  bool SendNow(std::uint32_t message, platform::WParam wParam = 0, platform::LParam lParam = 0) {
    if (exitCode_) return false;
    process_->SendToWindow(kHostHwnd, message, wParam, lParam);
    return PumpNow();
  }
  bool PumpNow() {
    if (exitCode_) return false;
    if (!process_->PumpMessages()) return true;
    Finish();
    return false;
  }
  void PostClose() { process_->PostToWindow(kHostHwnd, platform::kWmClose, 0, 0); }

  // Posts WM_CLOSE and runs the tear-down; gives the exit code.
  int Close() {
    if (!exitCode_) {
      process_->PostToWindow(kHostHwnd, platform::kWmClose, 0, 0);
      Settle();
    }
    return exitCode_.value_or(-1);
  }

 private:
  bool Settle() {
    for (int round = 0; round < 3; ++round) {
      desktop_.WaitUntilIdle();
      if (process_->PumpMessages()) {
        Finish();
        return false;
      }
    }
    return true;
  }

  // The message loop has ended: the framework's exit hook.
  void Finish() {
    desktop_.WaitUntilIdle();
    if (!exitCode_) exitCode_ = app_->ExitInstance(process_->QuitCode().value_or(0));
  }

  sim::SimDesktop desktop_;
  sim::SimProcess* process_ = nullptr;
  std::unique_ptr<CountingPlatform> counting_;
  std::unique_ptr<app::HostApp> app_;
  std::optional<int> exitCode_;
};

}  // namespace hidhost::testing
