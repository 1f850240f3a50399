#include <memory>

#include "platform/win32/FrameworkWindowClass.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Values.h"

// After windows.h, which it expects first; Win32Api.h leaves it out.
#include <mmsystem.h>

namespace hidhost::platform::win32 {

// Window timers and the passage of time.
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
namespace {

// The system lets only a window's own thread start or stop that window's
// timers (SetTimer fails with access denied elsewhere, on Windows and on
// Wine alike), yet the host's event thread starts the repeat timers on the
// host window. A request from another thread is therefore posted to the
// window's thread as one of the framework window's private messages, which
// its window procedure answers with the real call before the host's logic
// sees any message.
//
// Posted, not sent: the tear-down waits on the event thread without
// delivering messages, so an event thread waiting for a sent request would
// only go on after the tear-down had given up on it. A posted request takes
// effect at the same moment a sent one would (when the window's thread next
// takes a message), and before that thread's next WM_TIMER, which the system
// makes only when no posted message waits. The caller learns only that the
// request was queued; the host never looks at the result.
//
// Only windows of this process are served so: another process's window
// gets the plain call, and the system's refusal.
bool IsOtherThreadsWindow(HWND hwnd) {
  DWORD process = 0;
  const DWORD owner = ::GetWindowThreadProcessId(hwnd, &process);
  return owner != 0 && owner != ::GetCurrentThreadId() && process == ::GetCurrentProcessId();
}

}  // namespace

bool Win32Timers::SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) {
  const HWND window = ToHwnd(hwnd);
  if (IsOtherThreadsWindow(window)) {
    return ::PostMessageA(window, windowClass_.SetTimerMessage(), id,
                          static_cast<LPARAM>(periodMs));
  }
  return ::SetTimer(window, id, periodMs, nullptr) != 0;
}

bool Win32Timers::KillTimer(Hwnd hwnd, std::uintptr_t id) {
  const HWND window = ToHwnd(hwnd);
  if (IsOtherThreadsWindow(window)) {
    return ::PostMessageA(window, windowClass_.KillTimerMessage(), id, 0);
  }
  return ::KillTimer(window, id);
}

std::uint32_t Win32Timers::MaximumTimerPeriod() {
  return USER_TIMER_MAXIMUM;
}

void Win32Timers::Sleep(std::uint32_t ms) {
  ::Sleep(ms);
}

bool Win32Timers::SleepUnlessSignalled(Handle event, std::uint32_t ms) {
  return ::WaitForSingleObject(ToHandle(event), ms) == WAIT_OBJECT_0;
}

bool Win32Timers::TimeBeginPeriod(std::uint32_t ms) {
  return ::timeBeginPeriod(ms) == TIMERR_NOERROR;
}

bool Win32Timers::TimeEndPeriod(std::uint32_t ms) {
  return ::timeEndPeriod(ms) == TIMERR_NOERROR;
}

std::unique_ptr<Timers> MakeTimers(const FrameworkWindowClass& windowClass) {
  return std::make_unique<Win32Timers>(windowClass);
}

}  // namespace hidhost::platform::win32
