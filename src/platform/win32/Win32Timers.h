// Window timers and the passage of time.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/FrameworkWindowClass.h"

namespace hidhost::platform::win32 {

class Win32Timers final : public Timers {
 public:
  explicit Win32Timers(const FrameworkWindowClass& windowClass) : windowClass_(windowClass) {}

  bool SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override;
  bool KillTimer(Hwnd hwnd, std::uintptr_t id) override;
  std::uint32_t MaximumTimerPeriod() override;
  void Sleep(std::uint32_t ms) override;
  bool SleepUnlessSignalled(Handle event, std::uint32_t ms) override;
  bool TimeBeginPeriod(std::uint32_t ms) override;
  bool TimeEndPeriod(std::uint32_t ms) override;

 private:
  const FrameworkWindowClass& windowClass_;
};

}  // namespace hidhost::platform::win32
