// Runs one host process on a simulated desktop the way WinMain does, through
// the framework's RunApplication on the process's main thread; the test hands
// that thread its messages.
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
      exitCode_ = exitCode;
      return exitCode;
    });
    return Settle();
  }

  // Sends a message to the host window on the window thread; true while the host runs.
  bool Send(std::uint32_t message, platform::WParam wParam = 0, platform::LParam lParam = 0) {
    process_->SendToWindow(kHostHwnd, message, wParam, lParam);
    return Settle();
  }

  bool Event(std::uint32_t word) {
    desktop_.QueueEvent(word);
    return Settle();
  }

  // Posts WM_CLOSE and runs the tear-down; gives the exit code.
  int Close() {
    process_->PostToWindow(kHostHwnd, platform::kWmClose, 0, 0);
    Settle();
    return exitCode_.value_or(-1);
  }

  std::optional<int> ExitCode() const { return exitCode_; }
  // The objects the host still held when its exit hook returned.
  const std::vector<std::string>& LeakedAtExit() const { return leakedAtExit_; }
  sim::SimProcess& Process() { return *process_; }
  app::HostApp& App() { return *app_; }

  std::vector<std::string> Trace() { return desktop_.TakeTrace(); }

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
