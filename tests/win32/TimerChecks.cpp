// Timers started and stopped from the window's own thread and from another
// thread of the process, which the system alone would refuse.
#include "Checks.h"
#include "RecordingProcedure.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32::checks {
namespace {

constexpr DWORD kPatienceMs = 5000;

void DeliverPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Delivers this thread's messages until the predicate holds or patience ends.
template <typename Predicate>
bool PumpUntil(Predicate done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > kPatienceMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    DeliverPending();
  }
  return true;
}

bool SawTick(const RecordingProcedure& procedure, std::uintptr_t id) {
  for (const auto& seen : procedure.Messages()) {
    if (seen.message == WM_TIMER && seen.wParam == id) return true;
  }
  return false;
}

struct TimerRequest {
  Timers* timers;
  Hwnd hwnd;
  std::uintptr_t id;
  bool start;  // false: stop
  DWORD threadId = 0;
  bool result = false;
};

std::uint32_t RequestTimer(void* raw) {
  auto* request = static_cast<TimerRequest*>(raw);
  request->threadId = GetCurrentThreadId();
  request->result = request->start ? request->timers->SetTimer(request->hwnd, request->id, 10)
                                   : request->timers->KillTimer(request->hwnd, request->id);
  return 0;
}

// Runs one request on a new thread while this thread keeps delivering the
// messages that the request sends to it.
bool OnOtherThread(Win32Platform& platform, TimerRequest& request) {
  const Handle thread = platform.kernel.CreateThread(0, RequestTimer, &request);
  if (!IsSet(thread)) return false;
  const HANDLE waitable = ToHandle(thread);
  const bool ended = PumpUntil([&] { return WaitForSingleObject(waitable, 0) == WAIT_OBJECT_0; });
  platform.kernel.CloseHandle(thread);
  return ended && request.threadId != GetCurrentThreadId();
}

bool SawRegisteredMessage(const RecordingProcedure& procedure) {
  for (const auto& seen : procedure.Messages()) {
    if (seen.message >= 0xC000 && seen.message <= 0xFFFF) return true;
  }
  return false;
}

}  // namespace

int CheckTimers() {
  Checks check("timers");
  Win32Platform platform;
  RecordingProcedure procedure(platform.windows);
  const WindowAttributes attributes{0, "HidHostTimerCheck", WS_POPUP, 0, 0, 10, 10};
  const Hwnd hwnd = platform.windows.CreateFrameworkWindow(attributes, procedure);

  check.True(1, "own thread: SetTimer", platform.timers.SetTimer(hwnd, 5, 10));
  check.True(2, "own thread: the timer ticks", PumpUntil([&] { return SawTick(procedure, 5); }));
  check.True(3, "own thread: KillTimer", platform.timers.KillTimer(hwnd, 5));
  check.True(4, "own thread: KillTimer of a stopped timer fails",
             !platform.timers.KillTimer(hwnd, 5));

  TimerRequest start{&platform.timers, hwnd, 7, true};
  check.True(10, "other thread ran", OnOtherThread(platform, start));
  check.True(11, "other thread: SetTimer", start.result);
  check.True(12, "other thread: the tick arrives on the window's thread",
             PumpUntil([&] { return SawTick(procedure, 7); }));
  TimerRequest stop{&platform.timers, hwnd, 7, false};
  check.True(13, "other thread ran", OnOtherThread(platform, stop));
  check.True(14, "other thread: KillTimer queued", stop.result);
  DeliverPending();
  check.True(15, "other thread: the timer is gone", !KillTimer(ToHwnd(hwnd), 7));

  // The window's thread may be waiting for the requesting thread itself (the
  // host's tear-down waits on its event thread), so a request must not wait
  // for the window's thread to take it.
  TimerRequest unattended{&platform.timers, hwnd, 9, true};
  const Handle thread = platform.kernel.CreateThread(0, RequestTimer, &unattended);
  check.Equal(16, "the requesting thread ends while the window's thread takes no message",
              platform.kernel.WaitForSingleObject(thread, kPatienceMs), WaitResult::Signalled);
  platform.kernel.CloseHandle(thread);
  check.True(17, "and its timer starts once the window's thread takes messages",
             PumpUntil([&] { return SawTick(procedure, 9); }));
  KillTimer(ToHwnd(hwnd), 9);
  check.True(18, "the forwarded requests never reached the procedure",
             !SawRegisteredMessage(procedure));

  check.True(20, "a window that does not exist: SetTimer fails",
             !platform.timers.SetTimer(static_cast<Hwnd>(0x7FF0), 1, 10));

  const Handle event = platform.kernel.CreateEvent(true, false);
  check.True(30, "unsignalled event: SleepUnlessSignalled answers false",
             !platform.timers.SleepUnlessSignalled(event, 0));
  platform.kernel.SetEvent(event);
  check.True(31, "signalled event: SleepUnlessSignalled answers true",
             platform.timers.SleepUnlessSignalled(event, kPatienceMs));
  platform.kernel.CloseHandle(event);

  check.True(40, "timeBeginPeriod(1) is granted", platform.timers.TimeBeginPeriod(1));
  check.True(41, "and ended", platform.timers.TimeEndPeriod(1));
  check.True(42, "a period of 0 is refused (TIMERR_NOCANDO)", !platform.timers.TimeBeginPeriod(0));

  ::DestroyWindow(ToHwnd(hwnd));
  return check.Failures();
}

}  // namespace hidhost::platform::win32::checks
