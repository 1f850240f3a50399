// Runs one host process on a simulated desktop the way WinMain does, through
// the framework's RunApplication on the process's main thread; the test hands
// that thread its messages. Messages come from another program, so that a
// fault armed for the host's own SendMessageA or PostMessageA does not stop
// them; the simulator counts every platform call the host makes (Counts).
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/HostApp.h"
#include "framework/Application.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"

namespace hidhost::testing {

inline constexpr platform::Hwnd kHostHwnd = static_cast<platform::Hwnd>(0x10001);

// What every host owes its user when it ends, however it got there.
enum class Promise : unsigned {
  ExitCodeZero,
  NothingHeld,       // no synthesized key or button left down
  DriverHandedBack,  // the channel closed after a pass-through mask of 0
  NoTrayIcon,
  TimerResolutionRestored,  // timeEndPeriod as often as timeBeginPeriod
};

class HostHarness {
 public:
  HostHarness() = default;
  // A host the test left running is closed, as the desktop would be logged off.
  ~HostHarness() {
    if (process_ != nullptr && !exitCode_) Close();
  }
  HostHarness(const HostHarness&) = delete;
  HostHarness& operator=(const HostHarness&) = delete;

  sim::SimDesktop& Desktop() { return desktop_; }

  // Starts the host on its process's main thread, through the framework's
  // entry that WinMain calls; false when it ended during start-up.
  bool Start() {
    process_ = &desktop_.StartProcess();
    app_ = std::make_unique<app::HostApp>(process_->Platform());
    process_->RunMainThread([this] {
      const int exitCode = framework::RunApplication(*app_, process_->Platform().windows);
      // What the host failed to release itself, before the system cleans up.
      leakedAtExit_ = process_->OpenObjects();
      driverOpenAtExit_ = desktop_.DriverOpen();
      exitCode_ = exitCode;
      return exitCode;
    });
    return Settle();
  }

  // Sends a message to the host window on the window thread; true while the host runs.
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
      PostClose();
      Settle();
    }
    return exitCode_.value_or(-1);
  }

  std::optional<int> ExitCode() const { return exitCode_; }
  bool Started() const { return process_ != nullptr; }
  // The objects the host still held when its exit hook returned.
  const std::vector<std::string>& LeakedAtExit() const { return leakedAtExit_; }
  int OpenAtExit() const { return static_cast<int>(leakedAtExit_.size()); }
  bool DriverOpenAtExit() const { return driverOpenAtExit_; }
  const sim::CallCounts& Counts() const { return desktop_.Calls(); }
  sim::SimProcess& Process() { return *process_; }
  app::HostApp& App() { return *app_; }

  std::vector<std::string> Trace() { return desktop_.TakeTrace(); }

  // What a user would find wrong once the host has ended, one line for each
  // promise broken. Empty while the host runs or was never started.
  std::vector<std::string> BrokenPromises() const {
    std::vector<std::string> broken;
    if (process_ == nullptr || !exitCode_) return broken;
    const auto add = [&](Promise promise, std::string what) {
      if (!IsExcused(promise)) broken.push_back(std::move(what));
    };
    if (*exitCode_ != 0) add(Promise::ExitCodeZero, "exit code " + std::to_string(*exitCode_));
    for (const std::string& held : desktop_.HeldInput())
      add(Promise::NothingHeld, held + " still down");
    if (desktop_.DriverOpen()) add(Promise::DriverHandedBack, "driver channel still open");
    const auto mask = desktop_.LastMask();
    if (mask && *mask != 0) add(Promise::DriverHandedBack, "last pass-through mask not 0");
    if (desktop_.TrayIconPresent()) add(Promise::NoTrayIcon, "tray icon left behind");
    if (const int balance = process_->TimerPeriodBalance(); balance != 0) {
      add(Promise::TimerResolutionRestored,
          "timer resolution raised " + std::to_string(balance) + " more times than lowered");
    }
    return broken;
  }
  // The test means the host to end this way.
  void Excuse(Promise promise) { excused_ |= 1u << static_cast<unsigned>(promise); }

 private:
  // Lets every thread finish and every posted message arrive; false once the host ended.
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
  std::vector<std::string> leakedAtExit_;
  bool driverOpenAtExit_ = false;
  unsigned excused_ = 0;

  bool IsExcused(Promise promise) const {
    return (excused_ & (1u << static_cast<unsigned>(promise))) != 0;
  }
};

// The position of the first trace line that starts with prefix, or npos.
inline std::size_t FindLine(const std::vector<std::string>& trace, std::string_view prefix,
                            std::size_t from = 0) {
  for (std::size_t i = from; i < trace.size(); ++i) {
    if (trace[i].rfind(prefix, 0) == 0) return i;
  }
  return std::string::npos;
}

inline std::size_t CountLines(const std::vector<std::string>& trace, std::string_view prefix) {
  return static_cast<std::size_t>(std::count_if(
      trace.begin(), trace.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; }));
}

}  // namespace hidhost::testing
