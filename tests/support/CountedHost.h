// One host process on a simulated desktop, as HostHarness runs it, but with
// every platform call counted by the simulator. Messages come from
// another program, so that a fault armed for the host's own SendMessageA or
// PostMessageA does not stop them.
#pragma once

#include <memory>
#include <optional>

#include "app/HostApp.h"
#include "framework/Application.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"
#include "support/HostHarness.h"

namespace hidhost::testing {

class CountedHost {
 public:
  sim::SimDesktop& Desktop() { return desktop_; }
  sim::SimProcess& Process() { return *process_; }
  const sim::CallCounts& Counts() const { return desktop_.Calls(); }
  std::optional<int> ExitCode() const { return exitCode_; }
  // What the host still held, and whether the driver was open, when its exit hook returned.
  int OpenAtExit() const { return openAtExit_; }
  bool DriverOpenAtExit() const { return driverOpenAtExit_; }

  // Starts the host through the framework's entry, on the process's main
  // thread; false when it ended during start-up.
  bool Start() {
    process_ = &desktop_.StartProcess();
    app_ = std::make_unique<app::HostApp>(process_->Platform());
    process_->RunMainThread([this] {
      const int exitCode = framework::RunApplication(*app_, process_->Platform().windows);
      // What the host left open itself, before the system cleans up.
      openAtExit_ = process_->OpenObjectCount();
      driverOpenAtExit_ = desktop_.DriverOpen();
      exitCode_ = exitCode;
      return exitCode;
    });
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
  bool PumpNow() { return !exitCode_ && !process_->PumpMessages(); }
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
      if (process_->PumpMessages()) return false;
    }
    return true;
  }

  sim::SimDesktop desktop_;
  sim::SimProcess* process_ = nullptr;
  std::unique_ptr<app::HostApp> app_;
  std::optional<int> exitCode_;
  int openAtExit_ = 0;
  bool driverOpenAtExit_ = false;
};

}  // namespace hidhost::testing
